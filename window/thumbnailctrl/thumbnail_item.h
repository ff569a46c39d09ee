#pragma once
// One frame of the animation as the thumbnail strip holds it.

#include "picture/frame_loader.h"
#include "picture/picture_intake.h"

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
    // An item for a frame read on a worker thread; Load has nothing left to do.
    explicit wxImageThumbnailItem(const LoadedFrame& frame);

    bool Draw(wxDC& dc, wxThumbnailCtrl* ctrl, const wxRect& imageRect, int style) override;
    // Reads the file once through the picture intake: its size, its stamp and the thumbnail. The
    // full picture is not kept; ReadPicture gives it when needed. False, with the refusal kept
    // in m_refusal, when the file is refused.
    bool Load(wxThumbnailCtrl* ctrl, bool forceLoad) override;

    // The picture as it was added, read from the file again; refused as changed when the file
    // is no longer the one that was added.
    picture_intake::Outcome ReadPicture() const;

    IndexedPicture m_thumbnail;          // the reduction scaled down to the strip's thumbnail size, never enlarged
    wxSize m_pictureSize;                // the picture's size; 0 x 0 while it has none
    picture_intake::FileStamp m_stamp;   // the file's identity when it was read
    picture_intake::Outcome m_refusal;   // why the last Load failed

private:
    wxDECLARE_CLASS(wxImageThumbnailItem);
};
