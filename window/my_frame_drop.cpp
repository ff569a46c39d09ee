// Files and folders dropped on the main window.
#include "window/my_frame.h"

#include "picture/dropped_files.h"
#include "window/file_drop_target.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>

void MyFrame::InstallDropTargets() {
    // Each window owns its drop target.
    m_thumbnailCtrl->SetDropTarget(new FrameDropTarget(this, m_thumbnailCtrl));
    m_panel2->SetDropTarget(new FrameDropTarget(this, nullptr));
}

void MyFrame::DropFiles(const wxArrayString& paths, int beforeFrame) {
    if (RefusedWhileLoading())
        return;
    StopAnimation();
    const dropped_files::Contents dropped = dropped_files::Resolve({paths.begin(), paths.end()});
    if (!dropped.project.empty()) {
        if (ConfirmReplacingWork())
            OpenProjectFile(dropped.project);
        return;
    }
    if (dropped.pictures.empty()) {
        wxMessageBox(wxGetTranslation("The dropped folders hold no pictures."), GetTitle(), wxOK | wxICON_INFORMATION,
                     this);
        return;
    }
    const wxArrayString pictures(dropped.pictures.size(), dropped.pictures.data());
    if (beforeFrame >= 0 && beforeFrame < m_thumbnailCtrl->GetCount())
        InsertImageFiles(pictures, beforeFrame);
    else
        AddImageFiles(pictures);
}
