#include "window/autosaver.h"

#include <wx/window.h>

namespace {

bool SameWork(const std::optional<AutosavedWork>& a, const std::optional<AutosavedWork>& b) {
    if (!a || !b)
        return !a && !b;
    const project_file::ProjectContents& x = a->contents;
    const project_file::ProjectContents& y = b->contents;
    return a->projectPath == b->projectPath && x.gifPath == y.gifPath && x.width == y.width &&
           x.height == y.height && x.delay == y.delay && x.imagePaths == y.imagePaths;
}

}  // namespace

Autosaver::Autosaver(wxWindow* window, AutosaveFile file, std::function<std::optional<AutosavedWork>()> unsavedWork,
                     std::function<size_t()> workMark)
    : m_window(window), m_file(std::move(file)), m_unsavedWork(std::move(unsavedWork)), m_workMark(std::move(workMark)) {
    m_window->Bind(wxEVT_IDLE, &Autosaver::OnIdle, this);
    m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { WriteNow(); });
    m_lookTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Look(m_workMark()); });
}

Autosaver::~Autosaver() {
    m_timer.Stop();
    m_lookTimer.Stop();
    m_window->Unbind(wxEVT_IDLE, &Autosaver::OnIdle, this);
    if (!m_keep)
        m_file.Remove();
}

void Autosaver::OnIdle(wxIdleEvent& event) {
    event.Skip();
    const size_t mark = m_workMark();
    if (m_lookedMark == mark)
        return;
    const long sinceLook = m_sinceLook.Time();
    if (sinceLook >= kLookIntervalMs)
        Look(mark);
    else if (!m_lookTimer.IsRunning())
        m_lookTimer.StartOnce(int(kLookIntervalMs - sinceLook));
}

void Autosaver::Look(size_t mark) {
    m_lookTimer.Stop();
    m_sinceLook.Start();
    m_lookedMark = mark;
    const std::optional<AutosavedWork> work = m_unsavedWork();
    if (SameWork(work, m_written)) {
        m_timer.Stop();  // changed and changed back before the file was due
        return;
    }
    if (!work)
        WriteNow();  // saved or cleared: the old work must not be offered again
    else if (!m_timer.IsRunning())
        m_timer.StartOnce(kDelayMs);
}

void Autosaver::WriteNow() {
    m_timer.Stop();
    const std::optional<AutosavedWork> work = m_unsavedWork();
    if (!work) {
        m_file.Remove();
        m_written.reset();
        return;
    }
    wxString reason;
    // A failed write is tried again after the next change; the previous file, if any, stays as it was.
    if (m_file.Write(*work, reason))
        m_written = work;
}
