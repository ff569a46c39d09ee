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
    return m_strip && m_strip->HitTestItem(point, n) ? n : -1;
}
