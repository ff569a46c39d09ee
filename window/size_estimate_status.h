#pragma once
// The expected size of the GIF in the main window's status bar ("about 12.4 MB"), worked out on a
// worker thread whenever the frames, the delay, the output size or the export level change, so the
// window never waits for it.

#include <wx/event.h>
#include <wx/timer.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

class MyFrame;

class SizeEstimateStatus : public wxEvtHandler {
public:
    // Field 2 of the frame's status bar shows the estimate.
    static constexpr int kStatusField = 2;

    explicit SizeEstimateStatus(MyFrame& frame);
    ~SizeEstimateStatus() override;
    SizeEstimateStatus(const SizeEstimateStatus&) = delete;
    SizeEstimateStatus& operator=(const SizeEstimateStatus&) = delete;

    // "about 850 kB", "about 12.4 MB".
    static wxString Text(unsigned long long bytes);

    // Whether the estimate shown is for the window's present state.
    bool UpToDate() const;

private:
    // What the estimate depends on: frame identities, output size, delay and level.
    std::vector<uintptr_t> Signature() const;
    void OnPoll(wxTimerEvent& event);
    void Start();
    void OnFinished(bool ok, unsigned long long bytes);

    MyFrame& m_frame;
    wxTimer m_poll;
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    std::vector<uintptr_t> m_started;  // the signature of the running or last finished estimate
    bool m_shownIsCurrent = false;
};
