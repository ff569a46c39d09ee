#pragma once
// The picture shown in the preview panel. Drawing through a client context outside a paint event is
// unreliable on GTK3, so the panel keeps the placed picture and paints it itself; a repaint by the
// system shows it again.

#include "window/fitted_picture_cache.h"

#include <wx/bitmap.h>
#include <wx/gdicmn.h>

class wxPaintEvent;
class wxWindow;

class PreviewCanvas {
public:
    PreviewCanvas() = default;
    ~PreviewCanvas();
    PreviewCanvas(const PreviewCanvas&) = delete;
    PreviewCanvas& operator=(const PreviewCanvas&) = delete;

    // Starts painting on `panel` (the preview panel of the main window).
    void Attach(wxWindow* panel);

    // Replaces what the panel shows by `picture`, centred and shrunk to fit the panel's size, and
    // paints at once. An invalid picture leaves the panel empty.
    void Show(const wxBitmap& picture);

    // Shows only the background again and forgets the picture and its scaled copies. Call it when
    // frames are removed, so that no copy outlives its frame.
    void Clear();

    // The panel's size, border included, as the placement rule measures it.
    wxSize PanelSize() const;

private:
    void OnPaint(wxPaintEvent& event);
    void Repaint();

    wxWindow* m_panel = nullptr;
    wxBitmap m_shown;
    wxPoint m_position;
    wxSize m_panelSize;  // the size the cached copies were made for
    FittedPictureCache m_fitted;
};
