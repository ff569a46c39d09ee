#include "window/file_drop_target.h"

#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

bool FrameDropTarget::OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& paths) {
    if (paths.empty())
        return false;
    m_frame->CallAfter(&MyFrame::DropFiles, paths, FrameAt(wxPoint(x, y)));
    return true;
}

int FrameDropTarget::FrameAt(const wxPoint& point) const {
    int n = -1;
    wxRect cell;
    if (!m_strip || !m_strip->HitTestItem(point, n) || !m_strip->GetItemRect(n, cell))
        return -1;
    // The hit test also names a frame for the gaps between cells and the space right of the last
    // column; only a drop on a cell goes before its frame.
    return cell.Contains(point) ? n : -1;
}
