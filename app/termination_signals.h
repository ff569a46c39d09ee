#pragma once
// SIGTERM and SIGHUP (the session ends, the system shuts down, someone runs kill) reach the program as a
// call on the GUI thread instead of ending it on the spot: the handler only writes a byte into a pipe,
// which the event loop watches.

#include <wx/evtloopsrc.h>

#include <functional>
#include <memory>

class TerminationSignals : public wxEventLoopSourceHandler {
public:
    // `onSignal` runs on the GUI thread when a signal arrived. Only one object may exist at a time.
    explicit TerminationSignals(std::function<void()> onSignal);
    // Gives the two signals their default action back.
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    void OnReadWaiting() override;
    void OnWriteWaiting() override {}
    void OnExceptionWaiting() override {}

private:
    std::function<void()> m_onSignal;
    int m_pipe[2] = {-1, -1};
    std::unique_ptr<wxEventLoopSource> m_source;
};
