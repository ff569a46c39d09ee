// The frame list commands, the frame click and the three setting controls of the main window.
#include "window/my_frame.h"

#include "picture/natural_order.h"
#include "window/file_dialog_paths.h"
#include "window/frame_intake.h"
#include "window/output_size.h"
#include "window/status_texts.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

wxString ImageWildcard() {
    // The filter also takes ".jpeg", the other usual extension of JPEG files.
    return wxGetTranslation("Image files ") + "(*.png;*.jpg;*.bmp;*.gif)|*.png;*.jpg;*.jpeg;*.bmp;*.gif";
}

// The image files chosen in a file dialog, in natural order; empty when it was cancelled.
wxArrayString AskForImages(wxWindow* parent, const char* titleKey) {
    wxFileDialog dialog(parent, wxGetTranslation(titleKey), wxEmptyString, wxEmptyString, ImageWildcard(),
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE);
    if (dialog.ShowModal() != wxID_OK)
        return wxArrayString();
    wxArrayString paths = file_dialog_paths::ChosenPaths(dialog);
    natural_order::Sort(paths);
    return paths;
}

}  // namespace

void MyFrame::OnAddImage(wxCommandEvent&) {
    if (RefusedWhileLoading())
        return;
    StopAnimation();
    AddImageFiles(AskForImages(this, "Add Image Files"));
}

void MyFrame::AddImageFiles(const wxArrayString& paths) {
    if (paths.empty())
        return;
    const int delay = m_spinctrl_delay->GetValue();
    const Work::State before = CurrentWork();
    RunIntake("Add Image Files", paths, [this, delay](const LoadedFrame& frame) {
        m_thumbnailCtrl->Append(std::make_unique<wxImageThumbnailItem>(frame), delay);
    });
    EnableFrameCommands(true);
    RefreshOutputSize();
    RecordChange(wxTRANSLATE("Add"), before);
}

void MyFrame::OnInsertImage(wxCommandEvent&) {
    if (RefusedWhileLoading())
        return;
    StopAnimation();
    const wxArrayString paths = AskForImages(this, "Insert Image Files");
    if (!paths.empty())
        InsertImageFiles(paths);
}

void MyFrame::InsertImageFiles(const wxArrayString& paths) {
    const wxArrayInt& selections = m_thumbnailCtrl->m_selections;
    InsertImageFiles(paths, selections.empty() ? -1 : selections[0]);
}

void MyFrame::InsertImageFiles(const wxArrayString& paths, int position) {
    const Work::State before = CurrentWork();
    if (m_thumbnailCtrl->GetCount() > 0 && position >= 0 && position < m_thumbnailCtrl->GetCount()) {
        // Each file goes after the one inserted before it, so they keep the order they were given in.
        RunIntake("Insert Image Files", paths, [this, position](const LoadedFrame& frame) mutable {
            m_thumbnailCtrl->Insert(std::make_unique<wxImageThumbnailItem>(frame), position++);
        });
    }
    RefreshOutputSize();
    RecordChange(wxTRANSLATE("Insert"), before);
}

wxSize MyFrame::ThumbnailBox() const {
    return wxSize(m_thumbnailCtrl->m_thumbnailWidth, m_thumbnailCtrl->m_thumbnailHeight);
}

void MyFrame::OnDeleteImages(wxCommandEvent&) {
    if (RefusedWhileLoading())
        return;
    StopAnimation();
    const wxArrayInt& selections = m_thumbnailCtrl->m_selections;
    if (m_thumbnailCtrl->GetCount() == 0 || selections.empty() || selections[0] < 0)
        return;
    // Highest first, so that no index shifts before it is used.
    std::vector<int> doomed(selections.begin(), selections.end());
    std::sort(doomed.begin(), doomed.end(), std::greater<int>());

    wxMessageDialog question(this, wxGetTranslation("Are you sure you want to delete selected image(s)?"),
                             wxGetTranslation("Confirm"), wxYES_NO | wxNO_DEFAULT | wxICON_INFORMATION);
    const Work::State before = CurrentWork();
    const bool confirmed = question.ShowModal() == wxID_YES;
    if (confirmed) {
        m_thumbnailCtrl->Freeze();
        for (int n : doomed)
            m_thumbnailCtrl->Delete(n);
        m_thumbnailCtrl->Thaw();
        m_preview.Clear();
        m_framePictures.Clear();
    }
    m_statusBar1->SetStatusText(wxEmptyString, 1);
    RefreshOutputSize();
    if (m_thumbnailCtrl->GetCount() == 0)
        EnableFrameCommands(false);
    if (confirmed)
        RecordChange(wxTRANSLATE("Delete"), before);
}

void MyFrame::OnClearAll(wxCommandEvent&) {
    if (RefusedWhileLoading())
        return;
    StopAnimation();
    const Work::State before = CurrentWork();
    m_thumbnailCtrl->Clear();
    m_spinctrl_width->SetValue(0);
    m_spinctrl_height->SetValue(0);
    EnableFrameCommands(false);
    m_statusBar1->SetStatusText(wxEmptyString, 1);
    RefreshOutputSize();
    m_preview.Clear();
    m_framePictures.Clear();
    RecordChange(wxTRANSLATE("Clear"), before);
}

void MyFrame::OnThumbnailLeftClick(wxThumbnailEvent& event) {
    if (m_thumbnailCtrl->GetCount() == 0)
        return;
    StopAnimation();
    auto* item = dynamic_cast<wxImageThumbnailItem*>(m_thumbnailCtrl->GetItem(event.GetIndex()));
    if (!item)
        return;
    const FramePictureCache::Pictures pictures = PreviewPicture(*item);
    m_preview.Show(pictures.shown);
    m_currentFileName = wxFileNameFromPath(item->m_path);
    // A file that is no longer the one added shows nothing, and no size.
    m_currentPictureSize = pictures.shown.IsOk() ? item->m_pictureSize : wxSize(0, 0);
    m_statusBar1->SetStatusText(
        status_texts::ClickedFrame(m_currentFileName, m_currentPictureSize.x, m_currentPictureSize.y), 1);
    PrefetchAround(event.GetIndex());
}

void MyFrame::OnThumbnailRightClick(wxThumbnailEvent&) {
    if (RefusedWhileLoading())
        return;
    StopAnimation();
    wxMenu menu;
    // The entries reach their handlers through the identifiers 0 and wxID_DELETE bound with the menu bar.
    menu.Append(new wxMenuItem(&menu, 0, MenuLabel("&Insert Image", "Ctrl+Ins"), wxEmptyString, wxITEM_NORMAL));
    menu.Append(new wxMenuItem(&menu, wxID_DELETE, MenuLabel("&Delete", "Ctrl+Del"), wxEmptyString, wxITEM_NORMAL));
    PopupMenu(&menu);
}

void MyFrame::OnDelayChanged(wxCommandEvent&) {
    // The strip still holds the delay from before the change.
    Work::State before = CurrentWork();
    before.settings.delay = m_thumbnailCtrl->m_delay;
    m_thumbnailCtrl->m_delay = m_spinctrl_delay->GetValue();
    RecordChange(wxTRANSLATE("Delay"), before, "delay");
}

void MyFrame::OnWidthChanged(wxCommandEvent&) {
    if (m_thumbnailCtrl->GetCount() == 0)
        return;
    // The output size still holds the values from before the change.
    Work::State before = CurrentWork();
    before.settings.width = m_outputWidth;
    before.settings.height = m_outputHeight;
    const int width = m_spinctrl_width->GetValue();
    m_outputWidth = width;
    int height = 0;
    // Without a reference width (only frames without pictures) the height stays as it is.
    if (output_size::HeightForWidth(width, m_baseWidth, m_baseHeight, height)) {
        m_outputHeight = height;
        m_spinctrl_height->SetValue(height);
    }
    m_statusBar1->SetStatusText(status_texts::OutputSize(m_gifName, m_outputWidth, m_outputHeight), 0);
    RecordChange(wxTRANSLATE("Width"), before, "width");
}

void MyFrame::OnHeightChanged(wxCommandEvent&) {
    if (m_thumbnailCtrl->GetCount() == 0)
        return;
    Work::State before = CurrentWork();
    before.settings.width = m_outputWidth;
    before.settings.height = m_outputHeight;
    const int height = m_spinctrl_height->GetValue();
    m_outputHeight = height;
    int width = 0;
    if (output_size::WidthForHeight(height, m_baseWidth, m_baseHeight, width)) {
        m_outputWidth = width;
        m_spinctrl_width->SetValue(width);
    }
    m_statusBar1->SetStatusText(status_texts::OutputSize(m_gifName, m_outputWidth, m_outputHeight), 0);
    RecordChange(wxTRANSLATE("Height"), before, "height");
}

void MyFrame::RefreshOutputSize() {
    const int count = m_thumbnailCtrl->GetCount();
    if (count == 0) {
        // The stored sizes keep their values; only what is shown goes back to nothing.
        m_statusBar1->SetStatusText(wxEmptyString, 0);
        m_spinctrl_width->SetValue(0);
        m_spinctrl_height->SetValue(0);
        return;
    }
    std::vector<wxSize> sizes;
    sizes.reserve(count);
    for (int i = 0; i < count; ++i) {
        auto* item = dynamic_cast<wxImageThumbnailItem*>(m_thumbnailCtrl->GetItem(i));
        sizes.push_back(item ? item->m_pictureSize : wxSize(0, 0));
    }
    const wxSize best = output_size::FindBestSize(sizes);
    m_baseWidth = m_outputWidth = best.x;
    m_baseHeight = m_outputHeight = best.y;
    m_spinctrl_width->SetValue(best.x);
    m_spinctrl_height->SetValue(best.y);
    m_statusBar1->SetStatusText(
        status_texts::OutputSize(m_gifName, m_spinctrl_width->GetValue(), m_spinctrl_height->GetValue()), 0);
}
