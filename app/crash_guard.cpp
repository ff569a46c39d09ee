#include "app/crash_guard.h"

#include <wx/filename.h>

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int kMaxFrames = 64;

// Prepared before any crash: the handler may neither allocate nor format.
char s_reportPath[4096];
std::atomic<bool> s_reporting{false};
std::unique_ptr<char[]> s_alternateStack;

void WriteText(int fd, const char* text) {
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t written = write(fd, text, left);
        if (written <= 0)
            return;
        text += written;
        left -= static_cast<size_t>(written);
    }
}

void WriteNumber(int fd, long long value) {
    char digits[24];
    char* end = digits + sizeof digits - 1;
    *end = '\0';
    const bool negative = value < 0;
    unsigned long long rest = negative ? 0ULL - static_cast<unsigned long long>(value) : value;
    do {
        *--end = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest > 0);
    if (negative)
        *--end = '-';
    WriteText(fd, end);
}

const char* SignalName(int signal) {
    switch (signal) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGFPE:
        return "SIGFPE";
    case SIGILL:
        return "SIGILL";
    case SIGABRT:
        return "SIGABRT";
    default:
        return "signal";
    }
}

void OnFatalSignal(int signal) {
    // Only the first crash writes: a second thread crashing meanwhile ends the process as the system would.
    if (!s_reporting.exchange(true)) {
        const int fd = open(s_reportPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd >= 0) {
            WriteText(fd, SignalName(signal));
            WriteText(fd, " (signal ");
            WriteNumber(fd, signal);
            WriteText(fd, ") on thread ");
            WriteNumber(fd, gettid());
            WriteText(fd, " of process ");
            WriteNumber(fd, getpid());
            WriteText(fd, " at ");
            WriteNumber(fd, static_cast<long long>(time(nullptr)));
            WriteText(fd, " seconds since 1970\nstack:\n");
            void* frames[kMaxFrames];
            backtrace_symbols_fd(frames, backtrace(frames, kMaxFrames), fd);
            close(fd);
        }
    }
    // The handler was reset on entry: the signal, delivered again once this returns, ends the process.
    raise(signal);
}

void GiveThisThreadAnAlternateStack() {
    const size_t size = std::max<size_t>(static_cast<size_t>(sysconf(_SC_SIGSTKSZ)), 64 * 1024);
    s_alternateStack = std::make_unique<char[]>(size);
    stack_t stack{};
    stack.ss_sp = s_alternateStack.get();
    stack.ss_size = size;
    sigaltstack(&stack, nullptr);
}

}  // namespace

namespace crash_guard {

void Install(const wxString& pendingFolder) {
    wxFileName::Mkdir(pendingFolder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    const std::string path = std::string(pendingFolder.fn_str()) + "/" + kReportPrefix +
                             std::to_string(getpid()) + ".txt";
    if (path.size() >= sizeof s_reportPath)
        return;  // no room for the name: no report rather than one written somewhere else
    std::memcpy(s_reportPath, path.c_str(), path.size() + 1);

    // The first backtrace loads the unwinder, which allocates: never let that happen in the handler.
    void* frame[1];
    backtrace(frame, 1);
    GiveThisThreadAnAlternateStack();

    struct sigaction action {};
    action.sa_handler = OnFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    for (int signal : kFatalSignals)
        sigaction(signal, &action, nullptr);
}

}  // namespace crash_guard
