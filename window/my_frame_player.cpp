// The preview player of the main window: the toggling run command, the timer ticks and the loop count.
#include "window/my_frame.h"

#include "app/paths.h"
#include "window/loop_count_dialog.h"
#include "window/played_delay.h"
#include "window/preview_fit.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/log.h>
#include <wx/menu.h>
#include <wx/spinctrl.h>
#include <wx/toolbar.h>
#include <wx/xrc/xmlres.h>

namespace {

// Read from its file each time the look changes; a missing file gives an empty picture, silently.
wxBitmap ToolPicture(const char* name) {
    wxLogNull silence;
    return wxBitmap(paths::InstallationFolder() + "/Themes/" + name, wxBITMAP_TYPE_ANY);
}

}  // namespace

void MyFrame::ShowPlayerState(bool playing) {
    m_toolBar2->SetToolNormalBitmap(XRCID("m_tool14"), ToolPicture(playing ? "stop.png" : "play.png"));
    // The shortcut after the tab becomes the item's accelerator: Ctrl+T stops, Ctrl+P runs.
    m_menuItem_run->SetItemLabel(playing ? MenuLabel("Stop animation", "Ctrl+T")
                                         : MenuLabel("Run animation", "Ctrl+P"));
}

void MyFrame::ShowFrame(wxImageThumbnailItem* item) {
    m_preview.Show(item ? PreviewPicture(*item).shown : wxBitmap());
}

FramePictureCache::Pictures MyFrame::PreviewPicture(const wxImageThumbnailItem& item, bool reduced) {
    const wxRect place = preview_fit::Place(m_preview.PanelSize(), item.m_pictureSize);
    if (place.IsEmpty())
        return FramePictureCache::Pictures();
    return m_framePictures.Get(item, place.GetSize(), reduced);
}

void MyFrame::PrefetchAround(int index) {
    const int count = m_thumbnailCtrl->GetCount();
    if (count == 0)
        return;
    std::vector<const wxImageThumbnailItem*> items;
    // The player and a person stepping through the frames go forward, now and then one back.
    for (int offset : {1, 2, -1, 3}) {
        const int neighbour = ((index + offset) % count + count) % count;
        if (neighbour != index) {
            if (auto* item = dynamic_cast<const wxImageThumbnailItem*>(m_thumbnailCtrl->GetItem(neighbour)))
                items.push_back(item);
        }
    }
    m_framePictures.Prefetch(items, m_preview.PanelSize());
}

void MyFrame::StopAnimation() {
    m_timer.Stop();
    m_frameIndex = 0;
    ShowPlayerState(false);
    s_playing = false;
}

void MyFrame::OnRunAnimation(wxCommandEvent&) {
    if (s_playing) {
        StopAnimation();
        return;
    }
    if (m_thumbnailCtrl->GetCount() == 0)
        return;
    // Nothing is drawn now: the first tick, one delay later, shows frame m_frameIndex.
    m_timer.Start(played_delay::Hundredths(m_spinctrl_delay->GetValue()) * 10, wxTIMER_CONTINUOUS);
    ShowPlayerState(true);
    s_playing = true;
}

void MyFrame::OnTimer(wxTimerEvent&) {
    const int count = m_thumbnailCtrl->GetCount();
    // Every command that changes the frames stops the player first; a tick past the end means that
    // did not happen, and there is nothing sensible to show.
    if (m_frameIndex >= count) {
        StopAnimation();
        return;
    }
    ShowFrame(dynamic_cast<wxImageThumbnailItem*>(m_thumbnailCtrl->GetItem(m_frameIndex)));
    PrefetchAround(m_frameIndex);
    if (++m_frameIndex == count) {
        ++m_loopsDone;
        if (m_loopsDone == m_loopCount) {
            m_timer.Stop();
            m_loopsDone = 0;
            ShowPlayerState(false);
            s_playing = false;
        }
        m_frameIndex = 0;
    }
}

void MyFrame::OnLoopCount(wxCommandEvent&) {
    if (m_thumbnailCtrl->GetCount() == 0)
        return;
    LoopCountDialog dialog(this);
    if (dialog.ShowModal() == wxID_OK) {
        m_loopCount = dialog.GetResult();
        m_loopsDone = 0;
    }
    StopAnimation();
}
