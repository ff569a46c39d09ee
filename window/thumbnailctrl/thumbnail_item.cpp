#include "window/thumbnailctrl/thumbnail_item.h"

#include "window/thumbnailctrl/frame_label.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/dc.h>
#include <wx/filename.h>

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
        // Made for each paint: only the visible cells are painted, and a bitmap per frame would
        // hold four times the thumbnail's bytes.
        const wxSize size = m_thumbnail.GetSize();
        dc.DrawBitmap(wxBitmap(m_thumbnail.ToImage()), imageRect.x + (imageRect.width - size.x) / 2,
                      imageRect.y + (imageRect.height - size.y) / 2, false);
    }
    return true;
}

wxImageThumbnailItem::wxImageThumbnailItem(const LoadedFrame& frame)
    : wxThumbnailItem(frame.path), m_pictureSize(int(frame.outcome.width), int(frame.outcome.height)),
      m_stamp(frame.outcome.stamp) {
    m_thumbnail = frame.thumbnail;
}

bool wxImageThumbnailItem::Load(wxThumbnailCtrl* ctrl, bool forceLoad) {
    if (m_thumbnail.IsOk() && !forceLoad)
        return true;
    const picture_intake::Outcome outcome = picture_intake::Read(m_path);
    if (!outcome.Taken()) {
        m_refusal = outcome;
        return false;
    }
    IndexedPicture thumbnail = MakeThumbnail(outcome.picture, wxSize(ctrl->m_thumbnailWidth, ctrl->m_thumbnailHeight));
    if (!thumbnail.IsOk())
        return false;
    m_thumbnail = std::move(thumbnail);
    m_pictureSize = outcome.picture.GetSize();
    m_stamp = outcome.stamp;
    return true;
}

picture_intake::Outcome wxImageThumbnailItem::ReadPicture() const {
    return picture_intake::ReadUnchanged(m_path, m_stamp);
}
