#include "app/termination_signals.h"

#include <wx/evtloop.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};

// Written once before the handlers are armed; the handler only reads it.
volatile int s_writeEnd = -1;

void OnTerminationSignal(int) {
    const int savedErrno = errno;  // the interrupted code may be about to read it
    const char byte = 1;
    // A full pipe already holds a wake-up: losing this byte loses nothing.
    [[maybe_unused]] const ssize_t written = write(s_writeEnd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal) : m_onSignal(std::move(onSignal)) {
    if (pipe2(m_pipe, O_NONBLOCK | O_CLOEXEC) != 0)
        return;  // without the pipe the signals keep their default action
    s_writeEnd = m_pipe[1];
    m_source.reset(wxEventLoopBase::AddSourceForFD(m_pipe[0], this, wxEVENT_SOURCE_INPUT));
    if (!m_source)
        return;
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals)
        sigaction(signal, &action, nullptr);
    m_source.reset();
    s_writeEnd = -1;
    for (int fd : m_pipe) {
        if (fd >= 0)
            close(fd);
    }
}

void TerminationSignals::OnReadWaiting() {
    // Several signals before the loop looked are one request to end.
    char bytes[16];
    bool received = false;
    while (read(m_pipe[0], bytes, sizeof bytes) > 0)
        received = true;
    if (received)
        m_onSignal();
}
