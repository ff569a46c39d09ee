#include "window/thumbnailctrl/thumbnail_item.h"

#include "window/my_gifhandler/palette_image.h"
#include "window/thumbnailctrl/frame_label.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/dc.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>

#include <algorithm>

wxIMPLEMENT_CLASS(wxThumbnailItem, wxObject);
wxIMPLEMENT_CLASS(wxImageThumbnailItem, wxThumbnailItem);

namespace {

void DrawClipped(wxDC& dc, const wxRect& band, const wxString& text, int x) {
    dc.SetClippingRegion(band);
    dc.DrawText(text, x, band.y);
    dc.DestroyClippingRegion();
}

}  // namespace

bool wxThumbnailItem::Draw(wxDC&, wxThumbnailCtrl*, const wxRect&, int) { return false; }

bool wxThumbnailItem::Load(wxThumbnailCtrl*, bool) { return false; }

bool wxThumbnailItem::DrawBackground(wxDC& dc, wxThumbnailCtrl* ctrl, const wxRect& rect, const wxRect& imageRect,
                                     int style, int index) {
    const bool selected = (style & wxTHUMBNAIL_IS_SELECTED) != 0;
    const int margin = ctrl->m_margin;

    const wxColour fill = !selected                              ? ctrl->m_unselectedColour
                          : (style & wxTHUMBNAIL_CTRL_FOCUSED) ? ctrl->m_focusedSelectionColour
                                                                 : ctrl->m_unfocusedSelectionColour;
    dc.SetBrush(wxBrush(fill, wxBRUSHSTYLE_SOLID));
    dc.SetPen(wxPen(fill, 1, wxPENSTYLE_SOLID));
    dc.DrawRectangle(rect);

    // Pressed in when selected, raised otherwise.
    const int right = rect.x + rect.width - 1;
    const int bottom = rect.y + rect.height - 1;
    dc.SetPen(selected ? *wxWHITE_PEN : *wxBLACK_PEN);
    dc.DrawLine(right, rect.y, right, bottom);
    dc.DrawLine(rect.x, bottom, rect.x + rect.width, bottom);
    dc.SetPen(selected ? *wxBLACK_PEN : *wxWHITE_PEN);
    dc.DrawLine(rect.x, rect.y, right, rect.y);
    dc.DrawLine(rect.x, rect.y, rect.x, bottom);

    const wxFileName file(m_path);
    const wxString name = file.GetFullName();
    const int textBand = (rect.height - imageRect.height) / 2;
    dc.SetFont(ctrl->GetFont());
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);

    if (!name.empty() && ctrl->HasFlag(wxTHUMBNAIL_SHOW_FILENAME)) {
        dc.SetTextForeground(selected ? *wxWHITE : *wxBLACK);
        const wxRect band(rect.x + margin, rect.y + margin, rect.width - 2 * margin, textBand - 2 * margin);
        const int textWidth = dc.GetTextExtent(name).GetWidth();
        DrawClipped(dc, band, name, band.x + std::max(0, (band.width - textWidth) / 2));
    }

    if (!file.GetExt().empty() && ctrl->HasFlag(wxTHUMBNAIL_SHOW_LABEL)) {
        dc.SetTextForeground(selected ? *wxWHITE : ctrl->m_labelColour);
        const wxRect band(rect.x + margin, rect.y + rect.height - textBand + margin, rect.width - 2 * margin,
                          textBand - 2 * margin);
        DrawClipped(dc, band, FrameLabel(index, ctrl->m_delay), band.x);
    }

    if (style & wxTHUMBNAIL_IS_FOCUS_ITEM) {
        dc.SetPen(wxPen(ctrl->m_focusRectColour, 1, wxPENSTYLE_DOT));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(imageRect.x - 1, imageRect.y - 1, imageRect.width + 2, imageRect.height + 2);
    }
    return true;
}

bool wxImageThumbnailItem::Draw(wxDC& dc, wxThumbnailCtrl*, const wxRect& imageRect, int) {
    if (m_thumbnail.IsOk()) {
        dc.DrawBitmap(m_thumbnail, imageRect.x + (imageRect.width - m_thumbnail.GetWidth()) / 2,
                      imageRect.y + (imageRect.height - m_thumbnail.GetHeight()) / 2, false);
    }
    return true;
}

bool wxImageThumbnailItem::Load(wxThumbnailCtrl* ctrl, bool forceLoad) {
    if (m_thumbnail.IsOk() && !forceLoad)
        return true;
    // Checked first so that a missing file never reaches a decoder.
    if (!wxFileExists(m_path))
        return false;

    // A file that does not decode is refused without a message.
    wxLogNull silence;
    wxImage picture;
    if (!picture.LoadFile(m_path, wxBITMAP_TYPE_ANY))
        return false;
    const wxBitmap full(picture);
    // The reduced image is needed only here: keeping it per item would double the memory of every frame.
    const wxImage reduced = ConvertToPaletteImage(picture);
    if (!full.IsOk() || !reduced.IsOk())
        return false;

    m_picture = full;
    m_reducedBitmap = wxBitmap(reduced);
    const double rx = static_cast<double>(ctrl->m_thumbnailWidth) / reduced.GetWidth();
    const double ry = static_cast<double>(ctrl->m_thumbnailHeight) / reduced.GetHeight();
    if (rx < 1 || ry < 1) {
        const double s = std::min(rx, ry);
        // At least one pixel each way, so a very thin picture still gets a thumbnail.
        const int width = std::max(1, static_cast<int>(reduced.GetWidth() * s));
        const int height = std::max(1, static_cast<int>(reduced.GetHeight() * s));
        m_thumbnail = wxBitmap(reduced.Scale(width, height, wxIMAGE_QUALITY_NORMAL));
    } else {
        m_thumbnail = m_reducedBitmap;
    }
    return true;
}
