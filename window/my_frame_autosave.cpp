// The window's unsaved work kept on disc, and offered again after a run that did not end normally.
#include "window/my_frame.h"

#include "app/paths.h"
#include "window/autosaver.h"
#include "window/status_texts.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/app.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>

#include <unistd.h>

void MyFrame::StartAutosave() {
    m_autosaver = std::make_unique<Autosaver>(this, AutosaveFile(paths::DataFolder(), getpid()),
                                              [this] { return UnsavedWork(); }, [this] { return WorkMark(); });
}

size_t MyFrame::WorkMark() const {
    size_t mark = 0;
    const auto mix = [&mark](size_t value) { mark ^= value + 0x9E3779B97F4A7C15ull + (mark << 6) + (mark >> 2); };
    mix(m_thumbnailCtrl->m_items.Revision());
    mix(m_snapshotsTaken);
    for (const wxSpinCtrl* control : {m_spinctrl_width, m_spinctrl_height, m_spinctrl_delay})
        mix(static_cast<size_t>(control->GetValue()));
    for (const wxString* text : {&m_gifPath, &m_gifName, &m_projectPath})
        mix(std::hash<wxString>()(*text));
    return mark;
}

std::optional<AutosavedWork> MyFrame::UnsavedWork() const {
    if (m_thumbnailCtrl->GetCount() == 0 || MatchesSnapshot())
        return std::nullopt;
    AutosavedWork work;
    work.contents.gifPath = m_gifPath.empty() ? m_gifName : m_gifPath;
    work.contents.width = m_spinctrl_width->GetValue();
    work.contents.height = m_spinctrl_height->GetValue();
    work.contents.delay = m_spinctrl_delay->GetValue();
    work.contents.imagePaths = FramePaths();
    work.projectPath = m_projectPath;
    return work;
}

bool MyFrame::OfferToRestore() {
    const std::vector<wxString> leftOver = AutosaveFile::LeftOver(paths::DataFolder(), getpid());
    std::optional<AutosavedWork> work;
    for (size_t i = 0; i < leftOver.size() && !work; ++i)
        work = AutosaveFile::Read(leftOver[i]);
    bool restored = false;
    if (work) {
        wxMessageDialog question(this, wxGetTranslation("Restore the work that was not saved?"), paths::DisplayName(),
                                 wxYES_NO | wxYES_DEFAULT | wxICON_QUESTION);
        if (question.ShowModal() == wxID_YES) {
            RestoreWork(*work);
            restored = true;
        }
    }
    // Offered once: older files and unreadable ones go too, and the restored work is this run's now.
    for (const wxString& file : leftOver)
        AutosaveFile::Discard(file);
    if (restored && m_autosaver)
        m_autosaver->WriteNow();
    return restored;
}

void MyFrame::RestoreWork(const AutosavedWork& work) {
    StopAnimation();
    const project_file::ProjectContents& contents = work.contents;
    m_spinctrl_delay->SetValue(contents.delay);
    m_thumbnailCtrl->m_delay = m_spinctrl_delay->GetValue();
    wxArrayString pictures;
    for (const wxString& path : contents.imagePaths)
        pictures.Add(path);
    AddImageFiles(pictures);
    // The size as it was set, which need not be the one the pictures suggest.
    m_spinctrl_width->SetValue(contents.width);
    m_spinctrl_height->SetValue(contents.height);
    m_outputWidth = m_spinctrl_width->GetValue();
    m_outputHeight = m_spinctrl_height->GetValue();
    m_gifName = project_file::FileNamePart(contents.gifPath);
    m_statusBar1->SetStatusText(status_texts::OutputSize(m_gifName, m_outputWidth, m_outputHeight), 0);
    m_projectPath = work.projectPath;
    if (!m_projectPath.empty()) {
        m_projectName = project_file::FileNamePart(m_projectPath);
        ShowProjectTitle();
    }
    // The restored work starts a history of its own.
    m_work.Forget();
    RefreshEditMenu();
}

void MyFrame::KeepWorkAndClose() {
    if (DeferWhileLoading([this] { KeepWorkAndClose(); }))
        return;
    StopAnimation();
    if (m_autosaver) {
        m_autosaver->WriteNow();
        m_autosaver->KeepFile();
    }
    Destroy();
    wxTheApp->ExitMainLoop();
}
