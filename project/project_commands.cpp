// Open Project and Save Project: moving the work between the window and a project file.
#include "window/my_frame.h"

#include "app/paths.h"
#include "picture/natural_order.h"
#include "project/project_file.h"
#include "window/file_dialog_paths.h"
#include "window/frame_intake.h"
#include "window/status_texts.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>

#include <memory>

void MyFrame::ShowProjectTitle() {
    // A file name without the ".xml" ending gives an empty name part.
    wxString namePart;
    if (!m_projectName.EndsWith(".xml", &namePart))
        namePart.clear();
    SetTitle(namePart + " - " + paths::DisplayName());
}

void MyFrame::OnOpenProject(wxCommandEvent&) {
    if (!RefusedWhileLoading() && ConfirmReplacingWork())
        LoadProject();
}

bool MyFrame::ConfirmReplacingWork() {
    if (m_thumbnailCtrl->GetCount() == 0)
        return true;
    wxString title;
    if (m_projectPath.empty())
        title = wxTRANSLATE("Warning!");
    else if (!MatchesSnapshot())
        title = wxTRANSLATE("Warning");
    if (title.empty())
        return true;
    switch (AskToSaveProject(title)) {
    case wxID_YES:
        // Opening would throw the work away: go on only once it is really on disk.
        return SaveProject();
    case wxID_NO:
        return true;
    default:
        return false;
    }
}

void MyFrame::LoadProject() {
    StopAnimation();
    wxFileDialog dialog(this, wxGetTranslation("Load Xml Files"), wxString(), wxString(),
                        wxGetTranslation("Xml files") + " (*.xml)|*.xml",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE);
    if (dialog.ShowModal() != wxID_OK)
        return;
    const wxArrayString chosen = file_dialog_paths::ChosenPaths(dialog);
    if (chosen.empty() || chosen[0].empty())
        return;
    OpenProjectFile(chosen[0]);
}

void MyFrame::OpenProjectFile(const wxString& path) {
    // It empties the strip first, under a batch that may still be adding to it.
    if (RefusedWhileLoading())
        return;
    StopAnimation();
    // The whole file is read and checked before the window changes: a file that cannot be used leaves
    // the work, the title and the project path as they were.
    const project_file::ReadResult read = project_file::Read(path);
    if (!read.ok) {
        wxMessageBox(read.reason, GetTitle(), wxOK | wxICON_ERROR, this);
        return;
    }
    const project_file::ProjectContents& contents = read.contents;

    m_thumbnailCtrl->Clear();
    m_gifPath.clear();
    m_preview.Clear();
    m_statusBar1->SetStatusText(wxString(), 1);

    m_projectPath = path;
    m_projectName = project_file::FileNamePart(path);
    ShowProjectTitle();

    m_spinctrl_width->SetValue(contents.width);
    m_spinctrl_height->SetValue(contents.height);
    m_gifName = contents.gifPath;
    m_statusBar1->SetStatusText(status_texts::OutputSize(m_gifName, contents.width, contents.height), 0);
    m_baseWidth = m_outputWidth = contents.width;
    m_baseHeight = m_outputHeight = contents.height;
    m_spinctrl_delay->SetValue(contents.delay);
    m_thumbnailCtrl->m_delay = contents.delay;
    SetExportLevel(contents.level);
    if (read.listsNoImage)
        wxMessageBox(wxGetTranslation("Failed to load XML file!"), GetTitle(), wxOK | wxICON_INFORMATION, this);

    bool previewShown = false;
    wxArrayString imagePaths;
    for (const wxString& imagePath : contents.imagePaths)
        imagePaths.Add(imagePath);
    RunIntake("Load Xml Files", imagePaths, [&](const LoadedFrame& frame) {
        auto item = std::make_unique<wxImageThumbnailItem>(frame);
        wxImageThumbnailItem* added = item.get();
        if (m_thumbnailCtrl->Append(std::move(item), contents.delay) < 0 || previewShown)
            return;
        previewShown = true;
        // The picture in its own colours, made at the size it is shown.
        const wxBitmap picture = PreviewPicture(*added, false).shown;
        m_preview.Show(picture);
        const wxSize size = picture.IsOk() ? added->m_pictureSize : wxSize(0, 0);
        m_statusBar1->SetStatusText(wxString::Format(wxGetTranslation("%s Width:%d px,Height:%d px"),
                                                     wxFileNameFromPath(frame.path), size.x, size.y),
                                    1);
    });
    // A project opened starts a history of its own.
    TakeSnapshot();
    m_work.Forget();
    RefreshEditMenu();
    EnableFrameCommands(true);
}

void MyFrame::OnSaveProject(wxCommandEvent&) { SaveProject(); }

bool MyFrame::SaveProject() {
    const int count = m_thumbnailCtrl->GetCount();
    if (count == 0)
        return false;

    project_file::ProjectContents contents;
    contents.gifPath = m_gifPath;
    contents.width = m_spinctrl_width->GetValue();
    contents.height = m_spinctrl_height->GetValue();
    contents.delay = m_spinctrl_delay->GetValue();
    contents.level = m_exportLevel;
    for (int i = 0; i < count; ++i)
        contents.imagePaths.push_back(m_thumbnailCtrl->GetItem(i)->m_path);

    wxFileDialog dialog(this, wxGetTranslation("Save XML Files"), wxString(), wxString(),
                        wxGetTranslation("XML files") + " (*.xml)|*.xml", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    // A cancelled dialog saves again to the project's known file, if there is one.
    wxString path = m_projectPath;
    if (dialog.ShowModal() == wxID_OK && !file_dialog_paths::ChosenPath(dialog).empty())
        path = file_dialog_paths::ChosenPath(dialog);
    if (path.empty())
        return false;
    if (!path.EndsWith(".xml"))
        path += ".xml";

    const project_file::SaveResult saved = project_file::Save(path, contents);
    if (!saved.ok) {
        // Path, title and snapshot stay as they were, so closing still asks.
        ReportWriteFailure(path, saved.reason);
        return false;
    }
    m_projectPath = path;
    m_projectName = project_file::FileNamePart(path);
    ShowProjectTitle();
    TakeSnapshot();
    return true;
}

void MyFrame::OpenFromCommandLine(const wxArrayString& arguments) {
    // Frames and projects keep absolute paths, whatever folder the program was started from.
    wxArrayString files;
    for (const wxString& argument : arguments) {
        wxFileName name(argument);
        name.MakeAbsolute();
        files.Add(name.GetFullPath());
    }
    if (files.size() == 1 && files[0].Lower().EndsWith(".xml")) {
        OpenProjectFile(files[0]);
    } else if (!files.empty()) {
        natural_order::Sort(files);
        AddImageFiles(files);
    }
}
