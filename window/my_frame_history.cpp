// Undo and Redo of the work, and the commands that reorder frames: Move Earlier and Later (by one or by a
// row), Duplicate, Reverse and dropping a dragged selection in the strip.
#include "window/my_frame.h"

#include "window/output_size.h"
#include "window/status_texts.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/intl.h>
#include <wx/menu.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>

namespace {

// Action names, translated when a label is built.
const char* const kMoveAction = wxTRANSLATE("Move");
const char* const kDuplicateAction = wxTRANSLATE("Duplicate");
const char* const kReverseAction = wxTRANSLATE("Reverse");

std::shared_ptr<wxThumbnailItem> CopyOf(const wxThumbnailItem& item) {
    // A copy shares the original's thumbnail bitmap; no pixels are copied.
    if (const auto* image = dynamic_cast<const wxImageThumbnailItem*>(&item))
        return std::make_shared<wxImageThumbnailItem>(*image);
    return std::make_shared<wxThumbnailItem>(item.m_path);
}

wxSize FoundSize(const std::vector<std::shared_ptr<wxThumbnailItem>>& frames) {
    std::vector<wxSize> sizes;
    sizes.reserve(frames.size());
    for (const auto& frame : frames) {
        const auto* image = dynamic_cast<const wxImageThumbnailItem*>(frame.get());
        sizes.push_back(image ? image->m_pictureSize : wxSize(0, 0));
    }
    return output_size::FindBestSize(sizes);
}

wxString EditLabel(const char* key, const wxString& action, const char* shortcut) {
    const wxString text =
        action.empty() ? wxGetTranslation(key) : wxString::Format(wxGetTranslation(key), wxGetTranslation(action));
    return text + '\t' + shortcut;
}

}  // namespace

MyFrame::Work::State MyFrame::CurrentWork() const {
    Work::State state;
    state.frames = m_thumbnailCtrl->GetItems();
    state.settings = {m_spinctrl_delay->GetValue(), m_spinctrl_width->GetValue(), m_spinctrl_height->GetValue()};
    state.selection.assign(m_thumbnailCtrl->m_selections.begin(), m_thumbnailCtrl->m_selections.end());
    return state;
}

void MyFrame::RecordChange(const char* action, const Work::State& before, const char* mergeKey) {
    // A setting changed while a batch loads becomes part of the batch's step, recorded when it ends.
    if (IsLoadingFrames())
        return;
    m_work.Record(action, before, CurrentWork(), mergeKey);
    RefreshEditMenu();
}

void MyFrame::RefreshEditMenu() {
    m_menuItem_undo->SetItemLabel(
        EditLabel(m_work.CanUndo() ? wxTRANSLATE("Undo %s") : wxTRANSLATE("Undo"), m_work.UndoAction(), "Ctrl+Z"));
    m_menuItem_redo->SetItemLabel(EditLabel(m_work.CanRedo() ? wxTRANSLATE("Redo %s") : wxTRANSLATE("Redo"),
                                            m_work.RedoAction(), "Ctrl+Shift+Z"));
    m_menuItem_undo->Enable(m_work.CanUndo());
    m_menuItem_redo->Enable(m_work.CanRedo());
}

void MyFrame::ShowWork(const Work::State& state) {
    m_thumbnailCtrl->SetItems(state.frames, state.selection);
    if (!state.selection.empty())
        m_thumbnailCtrl->EnsureVisible(state.selection.front());
    // The size as it was set, which need not be the one the pictures suggest; the proportion kept by the
    // width and height controls is the pictures' own.
    const wxSize found = FoundSize(state.frames);
    m_baseWidth = found.x;
    m_baseHeight = found.y;
    m_spinctrl_delay->SetValue(state.settings.delay);
    m_thumbnailCtrl->m_delay = state.settings.delay;
    m_spinctrl_width->SetValue(state.settings.width);
    m_spinctrl_height->SetValue(state.settings.height);
    m_outputWidth = state.settings.width;
    m_outputHeight = state.settings.height;
    const bool hasFrames = !state.frames.empty();
    EnableFrameCommands(hasFrames);
    m_statusBar1->SetStatusText(
        hasFrames ? status_texts::OutputSize(m_gifName, m_outputWidth, m_outputHeight) : wxString(), 0);
    if (!hasFrames)
        m_preview.Clear();
    RefreshEditMenu();
}

void MyFrame::OnUndo(wxCommandEvent&) { StepThroughHistory(&Work::Undo); }

void MyFrame::OnRedo(wxCommandEvent&) { StepThroughHistory(&Work::Redo); }

void MyFrame::StepThroughHistory(std::optional<Work::State> (Work::*step)(const Work::State&)) {
    if (RefusedWhileLoading())
        return;
    StopAnimation();
    if (std::optional<Work::State> state = (m_work.*step)(CurrentWork()))
        ShowWork(*state);
    else
        RefreshEditMenu();
}

void MyFrame::Rearrange(const char* action, const std::optional<frame_order::Arrangement>& arrangement) {
    if (!arrangement || RefusedWhileLoading())
        return;
    StopAnimation();
    const Work::State before = CurrentWork();
    std::vector<std::shared_ptr<wxThumbnailItem>> frames;
    frames.reserve(arrangement->order.size());
    std::vector<bool> placed(before.frames.size(), false);
    for (int index : arrangement->order) {
        frames.push_back(placed[index] ? CopyOf(*before.frames[index]) : before.frames[index]);
        placed[index] = true;
    }
    m_thumbnailCtrl->SetItems(std::move(frames), arrangement->selection);
    if (!arrangement->selection.empty())
        m_thumbnailCtrl->EnsureVisible(arrangement->selection.front());
    RecordChange(action, before);
}

namespace {

std::vector<int> SelectedFrames(const wxThumbnailCtrl& strip) {
    return {strip.m_selections.begin(), strip.m_selections.end()};
}

}  // namespace

void MyFrame::MoveSelectionBy(int offset) {
    Rearrange(kMoveAction, frame_order::MoveBy(m_thumbnailCtrl->GetCount(), SelectedFrames(*m_thumbnailCtrl), offset));
}

void MyFrame::OnMoveEarlier(wxCommandEvent&) { MoveSelectionBy(-1); }

void MyFrame::OnMoveLater(wxCommandEvent&) { MoveSelectionBy(1); }

void MyFrame::OnMoveRowEarlier(wxCommandEvent&) { MoveSelectionBy(-m_thumbnailCtrl->ItemsPerRow()); }

void MyFrame::OnMoveRowLater(wxCommandEvent&) { MoveSelectionBy(m_thumbnailCtrl->ItemsPerRow()); }

void MyFrame::OnDuplicate(wxCommandEvent&) {
    Rearrange(kDuplicateAction,
              frame_order::Duplicate(m_thumbnailCtrl->GetCount(), SelectedFrames(*m_thumbnailCtrl)));
}

void MyFrame::OnReverse(wxCommandEvent&) {
    Rearrange(kReverseAction, frame_order::Reverse(m_thumbnailCtrl->GetCount(), SelectedFrames(*m_thumbnailCtrl)));
}

void MyFrame::OnThumbnailMoveSelection(wxThumbnailEvent& event) {
    Rearrange(kMoveAction, frame_order::MoveBefore(m_thumbnailCtrl->GetCount(), SelectedFrames(*m_thumbnailCtrl),
                                                   event.GetIndex()));
}
