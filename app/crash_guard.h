#pragma once
// The first half of a crash report, done inside the fatal-signal handler: only what is safe there. For
// SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT on any thread, the handler writes the signal, the time and the
// stack as text into a file prepared at start-up, and the process then ends with that signal at once. The
// handler runs on an alternate stack, so a stack overflow is reported too. The next start turns such files
// into the report the user sees (see crash_report.h).

#include <wx/string.h>

namespace crash_guard {

// Creates `pendingFolder` and arms the handlers for this process; its report will be
// `pendingFolder`/crash-<process id>.txt. Call once, early, on the main thread.
void Install(const wxString& pendingFolder);

// The file names the handler writes: they start with this and end with ".txt".
constexpr const char* kReportPrefix = "crash-";

}  // namespace crash_guard
