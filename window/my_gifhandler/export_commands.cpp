// Save and Save As: the frames of the strip written as one animated GIF by the shared export engine.
#include "window/my_frame.h"

#include "app/export_level_setting.h"

#include "picture/added_pictures.h"
#include "window/file_dialog_paths.h"
#include "window/my_gifhandler/gif_export.h"
#include "window/status_texts.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>

#include <memory>
#include <vector>

namespace {

// Exports this long get a progress dialog; shorter ones finish before it would be read.
constexpr size_t kFramesWorthShowingProgress = 10;
constexpr double kPixelsWorthShowingProgress = 20e6;

// Frames written so far, with Cancel, while a long export runs.
class ExportProgress {
public:
    ExportProgress(wxWindow* parent, size_t frameCount, int width, int height) {
        const double pixels = static_cast<double>(frameCount) * width * height;
        if (frameCount < kFramesWorthShowingProgress && pixels < kPixelsWorthShowingProgress)
            return;
        m_dialog = std::make_unique<wxProgressDialog>(wxGetTranslation("Save"), Message(0, frameCount),
                                                      static_cast<int>(frameCount), parent,
                                                      wxPD_APP_MODAL | wxPD_CAN_ABORT | wxPD_AUTO_HIDE);
    }

    // False once the person has pressed Cancel.
    bool Update(size_t framesDone, size_t frameCount) {
        return !m_dialog || m_dialog->Update(static_cast<int>(framesDone), Message(framesDone, frameCount));
    }

private:
    static wxString Message(size_t framesDone, size_t frameCount) {
        return wxString::Format(wxGetTranslation("%d of %d frames written"), static_cast<int>(framesDone),
                                static_cast<int>(frameCount));
    }

    std::unique_ptr<wxProgressDialog> m_dialog;
};

// The path chosen in the GIF file dialog, or "" when it was cancelled.
wxString AskGifPath(wxWindow* parent, const char* title) {
    wxFileDialog dialog(parent, wxGetTranslation(title), wxString(), "*.gif",
                        wxGetTranslation("Image files") + " (*.gif)|*.gif", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return wxString();
    return file_dialog_paths::ChosenPath(dialog);
}

// An output size without pixels is refused before anything is asked or written.
bool OutputSizeIsUsable(wxFrame* parent, int width, int height) {
    if (width > 0 && height > 0)
        return true;
    wxMessageBox(wxString::Format(wxGetTranslation("The output size %d * %d px has no pixels: set a width and a "
                                                   "height of at least 1 px."),
                                  width, height),
                 parent->GetTitle(), wxOK | wxICON_WARNING, parent);
    return false;
}

}  // namespace

void MyFrame::OnSaveGif(wxCommandEvent&) {
    StopAnimation();
    if (m_thumbnailCtrl->GetCount() == 0) {
        // Nothing to write yet, but the chosen path is kept for the first Save with frames.
        if (m_gifPath.empty())
            m_gifPath = AskGifPath(this, "Save GIF Files");
        return;
    }
    if (!OutputSizeIsUsable(this, m_outputWidth, m_outputHeight))
        return;
    const wxString previousPath = m_gifPath;
    if (m_gifPath.empty())
        m_gifPath = AskGifPath(this, "Save GIF Files");
    if (m_gifPath.empty())
        return;
    // A path that could not be written is not remembered.
    if (!WriteGifFile())
        m_gifPath = previousPath;
}

void MyFrame::OnSaveGifAs(wxCommandEvent&) {
    StopAnimation();
    if (m_thumbnailCtrl->GetCount() == 0)
        return;
    if (!OutputSizeIsUsable(this, m_outputWidth, m_outputHeight))
        return;
    const wxString previousPath = m_gifPath;
    // Cancelled with a remembered path, it writes there again as Save would.
    const wxString chosen = AskGifPath(this, "Save As GIF Files");
    if (!chosen.empty())
        m_gifPath = chosen;
    if (m_gifPath.empty())
        return;
    if (!WriteGifFile())
        m_gifPath = previousPath;
}

bool MyFrame::WriteGifFile() {
    gif_export::Request request;
    request.path = gif_export::EnsureGifExtension(m_gifPath);
    request.frameCount = static_cast<size_t>(m_thumbnailCtrl->GetCount());
    request.width = m_outputWidth;
    request.height = m_outputHeight;
    request.delay = m_spinctrl_delay->GetValue();
    request.level = static_cast<gif_optimise::Level>(m_exportLevel);

    // The workers read the files themselves; the strip's items stay on this thread.
    std::vector<AddedPictures::File> files;
    for (size_t i = 0; i < request.frameCount; ++i) {
        const auto* item = dynamic_cast<wxImageThumbnailItem*>(m_thumbnailCtrl->GetItem(static_cast<int>(i)));
        files.push_back({item ? item->m_path : wxString(), item ? item->m_stamp : picture_intake::FileStamp()});
    }
    AddedPictures pictures(std::move(files));
    ExportProgress progress(this, request.frameCount, request.width, request.height);
    const gif_export::Result result = gif_export::Export(
        request, [&pictures](size_t index) { return pictures.Read(index); },
        [&](size_t done, size_t total) { return !pictures.Failed() && progress.Update(done, total); });
    if (!result.ok) {
        if (pictures.Failed())
            ReportWriteFailure(request.path, pictures.FailureText());
        else if (!result.cancelled)
            ReportWriteFailure(request.path, result.reason);
        return false;
    }

    m_gifPath = request.path;
    m_gifName = wxFileNameFromPath(m_gifPath);
    m_statusBar1->SetStatusText(
        status_texts::OutputSize(m_gifName, m_spinctrl_width->GetValue(), m_spinctrl_height->GetValue()), 0);
    return true;
}

void MyFrame::OnExportLevel(wxCommandEvent& event) {
    for (int level = 0; level < 3; ++level) {
        if (m_menuItem_export_levels[level] && m_menuItem_export_levels[level]->GetId() == event.GetId()) {
            SetExportLevel(level);
            export_level_setting::Write(level);
        }
    }
}

void MyFrame::SetExportLevel(int level) {
    m_exportLevel = level;
    if (m_menuItem_export_levels[level])
        m_menuItem_export_levels[level]->Check();
}
