#pragma once
// One frame of the animation as the thumbnail strip holds it.

#include <wx/bitmap.h>
#include <wx/object.h>
#include <wx/string.h>

class wxDC;
class wxRect;
class wxThumbnailCtrl;

// Draw-state flags handed from the strip's paint handler to the drawing operations.
enum {
    wxTHUMBNAIL_IS_SELECTED = 0x01,
    wxTHUMBNAIL_CTRL_FOCUSED = 0x04,
    wxTHUMBNAIL_IS_FOCUS_ITEM = 0x08,
};

class wxThumbnailItem : public wxObject {
public:
    explicit wxThumbnailItem(const wxString& path) : m_path(path) {}

    // Draws the picture inside `imageRect`; this kind has none.
    virtual bool Draw(wxDC& dc, wxThumbnailCtrl* ctrl, const wxRect& imageRect, int style);
    // Draws the cell: fill, bevel, file name, frame label and focus mark. Shared by every item kind.
    virtual bool DrawBackground(wxDC& dc, wxThumbnailCtrl* ctrl, const wxRect& rect, const wxRect& imageRect,
                                int style, int index);
    // Reads the item's file; this kind has nothing to read.
    virtual bool Load(wxThumbnailCtrl* ctrl, bool forceLoad);

    // Full path of the image file; fixed at construction.
    const wxString m_path;

private:
    wxDECLARE_CLASS(wxThumbnailItem);
};

class wxImageThumbnailItem : public wxThumbnailItem {
public:
    explicit wxImageThumbnailItem(const wxString& path) : wxThumbnailItem(path) {}

    bool Draw(wxDC& dc, wxThumbnailCtrl* ctrl, const wxRect& imageRect, int style) override;
    // Decodes the file once: the full picture, its 256-colour reduction and the thumbnail.
    // False, with every picture left empty, when the file is missing or cannot be decoded.
    bool Load(wxThumbnailCtrl* ctrl, bool forceLoad) override;

    wxBitmap m_thumbnail;      // the reduction scaled down to the strip's thumbnail size, never enlarged
    wxBitmap m_picture;        // the picture exactly as the file holds it
    wxBitmap m_reducedBitmap;  // the 256-colour reduction, full size

private:
    wxDECLARE_CLASS(wxImageThumbnailItem);
};
