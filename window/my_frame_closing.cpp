// Unsaved work and leaving the program. There is no modified flag: the work counts as unsaved when the
// delay, width, height or the frames' files differ from what the last project open or save recorded.
#include "window/my_frame.h"

#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/app.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/spinctrl.h>

namespace {

const char* const kUnsavedQuestion =
    wxTRANSLATE("The project is unsaved,you can continue to edit\n your project when you open it next time,do you "
                "\nwant to save the project now?");

}  // namespace

bool MyFrame::MatchesSnapshot() const { return m_work.MatchesSnapshot(CurrentWork()); }

std::vector<wxString> MyFrame::FramePaths() const {
    std::vector<wxString> paths;
    paths.reserve(m_thumbnailCtrl->GetCount());
    for (int i = 0; i < m_thumbnailCtrl->GetCount(); ++i)
        paths.push_back(m_thumbnailCtrl->GetItem(i)->m_path);
    return paths;
}

void MyFrame::TakeSnapshot() {
    m_work.TakeSnapshot(CurrentWork());
    ++m_snapshotsTaken;
}

int MyFrame::AskToSaveProject(const wxString& title, bool allowCancel) {
    const long buttons = wxYES_NO | (allowCancel ? wxCANCEL : 0) | wxNO_DEFAULT | wxICON_EXCLAMATION;
    wxMessageDialog question(this, wxGetTranslation(kUnsavedQuestion), wxGetTranslation(title), buttons);
    return question.ShowModal();
}

void MyFrame::ReportWriteFailure(const wxString& path, const wxString& reason) {
    wxMessageBox(wxString::Format(wxGetTranslation("Could not write the file %s:\n%s"), path, reason), GetTitle(),
                 wxOK | wxICON_ERROR, this);
}

void MyFrame::OnQuit(wxCloseEvent& event) {
    const bool force = !event.CanVeto();
    if (DeferWhileLoading([this, force] { Close(force); })) {
        if (event.CanVeto())
            event.Veto();
        return;
    }
    if (!event.CanVeto()) {
        // The session is ending and the window goes whatever is answered: offer to save, without Cancel.
        StopAnimation();
        if (m_thumbnailCtrl->GetCount() > 0 && !MatchesSnapshot() &&
            AskToSaveProject("Warning", false) == wxID_YES)
            SaveProject();
        Destroy();
        return;
    }
    Quit();
    // Whoever asked to close learns that the window stayed open.
    if (!wxTheApp->IsScheduledForDestruction(this))
        event.Veto();
}

void MyFrame::OnQuitMenu(wxCommandEvent&) { Quit(); }

void MyFrame::Quit() {
    if (DeferWhileLoading([this] { Quit(); }))
        return;
    StopAnimation();
    if (m_thumbnailCtrl->GetCount() > 0)
        ConfirmClose();
    else
        Destroy();
}

void MyFrame::ConfirmClose() {
    if (MatchesSnapshot()) {
        Destroy();
        return;
    }
    switch (AskToSaveProject("Warning")) {
    case wxID_YES:
        // A cancelled or failed save keeps the window, and its frames, open.
        if (SaveProject())
            Destroy();
        break;
    case wxID_NO:
        Destroy();
        break;
    default:
        break;
    }
}
