#pragma once
// Notifications of the thumbnail strip: selection changes, clicks and the Return key.

#include <wx/event.h>

// Modifier keys, carried by click and key events and passed to the selection operations.
enum {
    wxTHUMBNAIL_SHIFT_DOWN = 0x01,
    wxTHUMBNAIL_CTRL_DOWN = 0x02,
    wxTHUMBNAIL_ALT_DOWN = 0x04,
};

class wxThumbnailEvent : public wxNotifyEvent {
public:
    explicit wxThumbnailEvent(wxEventType commandType = wxEVT_NULL, int winid = 0)
        : wxNotifyEvent(commandType, winid) {}

    wxEvent* Clone() const override { return new wxThumbnailEvent(*this); }

    // The item concerned, or -1 (the Return key).
    int GetIndex() const { return m_index; }
    void SetIndex(int index) { m_index = index; }
    // wxTHUMBNAIL_*_DOWN flags; always 0 for selection changes.
    int GetFlags() const { return m_flags; }
    void SetFlags(int flags) { m_flags = flags; }

protected:
    int m_index = -1;
    int m_flags = 0;

private:
    wxDECLARE_CLASS(wxThumbnailEvent);
};

wxDECLARE_EVENT(wxEVT_COMMAND_THUMBNAIL_ITEM_SELECTED, wxThumbnailEvent);
wxDECLARE_EVENT(wxEVT_COMMAND_THUMBNAIL_ITEM_DESELECTED, wxThumbnailEvent);
wxDECLARE_EVENT(wxEVT_COMMAND_THUMBNAIL_LEFT_CLICK, wxThumbnailEvent);
wxDECLARE_EVENT(wxEVT_COMMAND_THUMBNAIL_MIDDLE_CLICK, wxThumbnailEvent);
wxDECLARE_EVENT(wxEVT_COMMAND_THUMBNAIL_RIGHT_CLICK, wxThumbnailEvent);
wxDECLARE_EVENT(wxEVT_COMMAND_THUMBNAIL_LEFT_DCLICK, wxThumbnailEvent);
wxDECLARE_EVENT(wxEVT_COMMAND_THUMBNAIL_RETURN, wxThumbnailEvent);
// The selected frames were dragged and dropped: move them as a block before the item at GetIndex() (the
// count: to the end). The strip changes nothing itself, so that its owner can make the move undoable.
wxDECLARE_EVENT(wxEVT_COMMAND_THUMBNAIL_MOVE_SELECTION, wxThumbnailEvent);

typedef void (wxEvtHandler::*wxThumbnailEventFunction)(wxThumbnailEvent&);
#define wxThumbnailEventHandler(func) wxEVENT_HANDLER_CAST(wxThumbnailEventFunction, func)

// Static event-table entries, by the strip's window identifier.
#define EVT_THUMBNAIL_ITEM_SELECTED(id, fn) \
    wx__DECLARE_EVT1(wxEVT_COMMAND_THUMBNAIL_ITEM_SELECTED, id, wxThumbnailEventHandler(fn))
#define EVT_THUMBNAIL_ITEM_DESELECTED(id, fn) \
    wx__DECLARE_EVT1(wxEVT_COMMAND_THUMBNAIL_ITEM_DESELECTED, id, wxThumbnailEventHandler(fn))
#define EVT_THUMBNAIL_LEFT_CLICK(id, fn) \
    wx__DECLARE_EVT1(wxEVT_COMMAND_THUMBNAIL_LEFT_CLICK, id, wxThumbnailEventHandler(fn))
#define EVT_THUMBNAIL_MIDDLE_CLICK(id, fn) \
    wx__DECLARE_EVT1(wxEVT_COMMAND_THUMBNAIL_MIDDLE_CLICK, id, wxThumbnailEventHandler(fn))
#define EVT_THUMBNAIL_RIGHT_CLICK(id, fn) \
    wx__DECLARE_EVT1(wxEVT_COMMAND_THUMBNAIL_RIGHT_CLICK, id, wxThumbnailEventHandler(fn))
#define EVT_THUMBNAIL_LEFT_DCLICK(id, fn) \
    wx__DECLARE_EVT1(wxEVT_COMMAND_THUMBNAIL_LEFT_DCLICK, id, wxThumbnailEventHandler(fn))
#define EVT_THUMBNAIL_MOVE_SELECTION(id, fn) \
    wx__DECLARE_EVT1(wxEVT_COMMAND_THUMBNAIL_MOVE_SELECTION, id, wxThumbnailEventHandler(fn))
#define EVT_THUMBNAIL_RETURN(id, fn) wx__DECLARE_EVT1(wxEVT_COMMAND_THUMBNAIL_RETURN, id, wxThumbnailEventHandler(fn))
