#pragma once
// The frame strip: a vertically scrolled grid of equal cells, one per frame, with selection,
// keyboard focus, mouse and key handling, and notification events (thumbnail_event.h).

#include "window/thumbnailctrl/thumbnail_event.h"
#include "window/thumbnailctrl/thumbnail_item.h"
#include "window/thumbnailctrl/thumbnail_item_array.h"

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/dynarray.h>
#include <wx/scrolwin.h>
#include <wx/timer.h>

#include <memory>
#include <vector>

// Window styles (the low byte of the style word is the strip's).
enum {
    wxTHUMBNAIL_MULTIPLE_SELECT = 0x10,  // Ctrl and Shift extend the selection
    wxTHUMBNAIL_SHOW_FILENAME = 0x20,    // file name line above each picture
    wxTHUMBNAIL_SHOW_LABEL = 0x80,       // "#n  t.ttsec" line below each picture
};

class wxThumbnailCtrl : public wxScrolledWindow {
public:
    // Always window identifier 1 and all three styles above, with a horizontal scroll flag and a sunken border.
    wxThumbnailCtrl(wxWindow* parent, const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);
    bool Create(wxWindow* parent, const wxPoint& pos, const wxSize& size);

protected:
    wxSize DoGetBestSize() const override;

public:
    // Drawing of one cell, in content coordinates; false when there is no item at `n`.
    virtual bool DrawItem(int n, wxDC& dc, const wxRect& imageRect, int style);
    virtual bool DrawItemBackground(int n, wxDC& dc, const wxRect& rect, const wxRect& imageRect, int style);

    // Items. Every change resets or shifts the focus, anchor and last-selected indices and, unless frozen,
    // re-lays the grid and repaints.
    // Sets m_delay, loads the item and takes it; -1 if it cannot load, and then `item` is left untouched
    // (the caller still owns it).
    virtual int Append(std::unique_ptr<wxThumbnailItem>&& item, int delay);
    // Inserts before `position` (0 ... GetCount()) and keeps the item even when it cannot load.
    virtual int Insert(std::unique_ptr<wxThumbnailItem> item, int position);
    virtual void Clear();
    virtual void Delete(int n);
    virtual int GetCount() const;

    // Moves the focus and the selection by a navigation key code; false only when there are no items.
    virtual bool NavigateByKey(int keyCode, int flags);

    // The item at `n`, still owned by the strip; null when out of range.
    wxThumbnailItem* GetItem(int n);

    // Every item, shared, in order; and a whole new list of items already loaded (taken back or reordered),
    // with its selection: valid indices, the first of them becoming the focus and anchor item.
    const std::vector<std::shared_ptr<wxThumbnailItem>>& GetItems() const { return m_items.Shared(); }
    void SetItems(std::vector<std::shared_ptr<wxThumbnailItem>> items, const std::vector<int>& selection);

    // The number of cells in one row at the current width.
    int ItemsPerRow() const;
    // Where a dragged selection would land for a pointer at `pt` (window coordinates): the index of the
    // item it would go before, or GetCount() for the end.
    int DropPositionAt(const wxPoint& pt);
    // While a drag runs: the index the insertion mark stands before; -1 otherwise.
    int GetDropPosition() const { return m_dropBefore; }

    // A batch counter of the strip's own (not the toolkit's window freezing): while it is above 0 nothing
    // is re-laid or repainted; the Thaw that brings it back to 0 does both once.
    void Freeze();
    void Thaw();

    // Geometry. With `transform` in window (scrolled) coordinates, otherwise in content coordinates.
    bool GetRowCol(int item, const wxSize& clientSize, int& row, int& col);
    bool GetItemRect(int item, wxRect& rect, bool transform = true);
    bool GetItemRectImage(int item, wxRect& rect, bool transform = true);
    bool HitTestItem(const wxPoint& pt, int& n);

    // Scrolling, in units of 10 pixels, vertical only.
    void UpdateScrollbars();
    void EnsureVisible(int n);
    void ScrollIntoView(int keyCode, int n);
    // Grows the paint buffer to at least `size` (default: the client size); it never shrinks.
    bool EnsureBuffer(const wxSize& size = wxDefaultSize);

    // Selection; these send no events.
    void Select(int n, bool select = true);
    void SetFocusItem(int item);
    void SelectAll();
    // The click-and-key rule: plain, Ctrl (toggle) and Shift (range from the anchor); sends the
    // selected and deselected events for the items it changed.
    void ApplySelection(int n, int flags);

    // The one frame delay, in hundredths of a second; only the labels read it.
    int m_delay = 0;
    wxThumbnailItemArray m_items;
    // Selected indices in the order they were selected.
    wxArrayInt m_selections;
    int m_itemWidth = -1;
    int m_itemHeight = -1;
    int m_thumbnailWidth = 80;
    int m_thumbnailHeight = 80;
    int m_spacing = 3;
    int m_margin = 3;
    int m_textHeight = 0;
    int m_freezeCount = 0;
    int m_anchorItem = -1;
    int m_lastSelected = -1;
    int m_focusItem = -1;
    wxColour m_focusedSelectionColour{140, 140, 140};
    wxColour m_unfocusedSelectionColour{175, 175, 175};
    wxColour m_unselectedColour;
    wxColour m_focusRectColour{100, 80, 80};
    wxColour m_labelColour{0, 0, 200};
    wxColour m_dropMarkColour{0, 0, 0};
    wxBitmap m_buffer;

protected:
    void OnPaint(wxPaintEvent& event);
    void OnEraseBackground(wxEraseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnRightDown(wxMouseEvent& event);
    void OnMiddleDown(wxMouseEvent& event);
    void OnLeftDClick(wxMouseEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnFocusChange(wxFocusEvent& event);
    void OnSelectAll(wxCommandEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnDragScrollTimer(wxTimerEvent& event);
    void OnUpdateSelectAll(wxUpdateUIEvent& event);

private:
    void UpdateItemSize();
    void FillBackground(wxDC& dc);
    int PerRow(const wxSize& clientSize) const;
    void RefreshItem(int n);
    void ScrollToUnit(int verticalUnit);
    void SendEvent(const wxEventType& type, int index, int flags);
    void DrawDropMark(wxDC& dc);
    void ShowDropMark(int before);
    // Scrolls one step towards the edge the pointer is near; false when it is near neither.
    bool ScrollTowardsPointer(const wxPoint& pt);
    void EndDrag();

    // A press on an item that may become a drag: where, on which item, and whether its click (the
    // selection change and the left-click event) waits for the release because it would break up a
    // selection that is to be dragged.
    wxPoint m_pressPoint;
    int m_pressItem = -1;
    bool m_clickPending = false;
    bool m_dragging = false;
    int m_dropBefore = -1;
    wxTimer m_dragScrollTimer;

    wxDECLARE_CLASS(wxThumbnailCtrl);
    wxDECLARE_EVENT_TABLE();
};
