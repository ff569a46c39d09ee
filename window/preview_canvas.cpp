#include "window/preview_canvas.h"

#include "window/preview_fit.h"

#include <wx/dcclient.h>
#include <wx/window.h>

PreviewCanvas::~PreviewCanvas() {
    if (m_panel)
        m_panel->Unbind(wxEVT_PAINT, &PreviewCanvas::OnPaint, this);
}

void PreviewCanvas::Attach(wxWindow* panel) {
    m_panel = panel;
    m_panel->Bind(wxEVT_PAINT, &PreviewCanvas::OnPaint, this);
}

wxSize PreviewCanvas::PanelSize() const { return m_panel->GetSize(); }

void PreviewCanvas::Show(const wxBitmap& picture) {
    const wxSize panelSize = PanelSize();
    if (panelSize != m_panelSize) {
        m_fitted.Clear();
        m_panelSize = panelSize;
    }
    m_shown = wxBitmap();
    if (picture.IsOk()) {
        const wxRect place = preview_fit::Place(panelSize, picture.GetSize());
        if (!place.IsEmpty()) {
            m_shown = place.GetSize() == picture.GetSize() ? picture : m_fitted.Get(picture, place.GetSize());
            m_position = place.GetPosition();
        }
    }
    Repaint();
}

void PreviewCanvas::Clear() {
    m_shown = wxBitmap();
    m_fitted.Clear();
    Repaint();
}

void PreviewCanvas::Repaint() {
    m_panel->Refresh();
    m_panel->Update();
}

void PreviewCanvas::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(m_panel);
    if (m_shown.IsOk())
        dc.DrawBitmap(m_shown, m_position, true);
}
