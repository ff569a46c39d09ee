#include "window/thumbnailctrl/thumbnail_event.h"

wxIMPLEMENT_CLASS(wxThumbnailEvent, wxNotifyEvent);

// One translation unit, so the toolkit hands the types out in this order.
wxDEFINE_EVENT(wxEVT_COMMAND_THUMBNAIL_ITEM_SELECTED, wxThumbnailEvent);
wxDEFINE_EVENT(wxEVT_COMMAND_THUMBNAIL_ITEM_DESELECTED, wxThumbnailEvent);
wxDEFINE_EVENT(wxEVT_COMMAND_THUMBNAIL_LEFT_CLICK, wxThumbnailEvent);
wxDEFINE_EVENT(wxEVT_COMMAND_THUMBNAIL_MIDDLE_CLICK, wxThumbnailEvent);
wxDEFINE_EVENT(wxEVT_COMMAND_THUMBNAIL_RIGHT_CLICK, wxThumbnailEvent);
wxDEFINE_EVENT(wxEVT_COMMAND_THUMBNAIL_LEFT_DCLICK, wxThumbnailEvent);
wxDEFINE_EVENT(wxEVT_COMMAND_THUMBNAIL_RETURN, wxThumbnailEvent);
wxDEFINE_EVENT(wxEVT_COMMAND_THUMBNAIL_MOVE_SELECTION, wxThumbnailEvent);
