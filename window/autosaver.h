#pragma once
// Keeps a window's unsaved work in its autosave file: a few seconds after each change the file is
// replaced, and as soon as the work is saved (or gone) it is removed. The window is watched at idle time,
// so no command needs to report its changes. Looking costs time in proportion to the frames, so the window
// also gives a cheap mark of its work: idle time with an unchanged mark costs nothing, and while the work
// keeps changing (a batch loading) it looks at most once every kLookIntervalMs.

#include "window/autosave_file.h"

#include <wx/event.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>

#include <functional>
#include <optional>

class wxWindow;

class Autosaver : public wxEvtHandler {
public:
    static constexpr int kDelayMs = 3000;
    static constexpr int kLookIntervalMs = 250;

    // `unsavedWork` gives the window's work, or nothing when there is nothing to keep (no frames, or all
    // saved in the project); `workMark` changes whenever what `unsavedWork` gives may have changed.
    Autosaver(wxWindow* window, AutosaveFile file, std::function<std::optional<AutosavedWork>()> unsavedWork,
              std::function<size_t()> workMark);
    // Removes the file: the run ends normally. Unless KeepFile was called.
    ~Autosaver() override;
    Autosaver(const Autosaver&) = delete;
    Autosaver& operator=(const Autosaver&) = delete;

    // Brings the file up to date at once.
    void WriteNow();
    // The file is to outlive this run (the program is told to end and cannot ask about the work).
    void KeepFile() { m_keep = true; }
    const AutosaveFile& File() const { return m_file; }

private:
    void OnIdle(wxIdleEvent& event);
    // Compares the work with what the file holds; `mark` is the work's mark now.
    void Look(size_t mark);

    wxWindow* m_window;
    AutosaveFile m_file;
    std::function<std::optional<AutosavedWork>()> m_unsavedWork;
    std::function<size_t()> m_workMark;
    std::optional<size_t> m_lookedMark;  // the mark at the last look
    std::optional<AutosavedWork> m_written;  // what the file holds; nothing when there is no file
    wxTimer m_timer;      // the write that is due
    wxTimer m_lookTimer;  // the look that idle time asked for too early
    wxStopWatch m_sinceLook;
    bool m_keep = false;
};
