#pragma once
// Files and folders dropped from the file manager on the strip or the preview (XDND on X11, the
// toolkit's own drops on Wayland).

#include <wx/dnd.h>

class MyFrame;
class wxThumbnailCtrl;

class FrameDropTarget : public wxFileDropTarget {
public:
    // `strip` is the strip this target is set on, or null for a window that shows no frames.
    FrameDropTarget(MyFrame* frame, wxThumbnailCtrl* strip) : m_frame(frame), m_strip(strip) {}

    // Hands the files to the window once the drop has ended: the questions and messages that adding
    // them may show must not run inside the file manager's drag.
    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& paths) override;

private:
    // The frame whose cell holds `point`, or -1.
    int FrameAt(const wxPoint& point) const;

    MyFrame* m_frame;
    wxThumbnailCtrl* m_strip;
};
