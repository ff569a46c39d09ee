#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include "window/thumbnailctrl/thumbnail_check.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kPixelsPerUnit = 10;
// A drag starts once the pointer has gone this far from the press, and scrolls the strip while it is this
// close to the top or bottom edge, one unit per tick.
constexpr int kDragThreshold = 5;
constexpr int kDragScrollEdge = 24;
constexpr int kDragScrollIntervalMs = 40;

// Scroll positions count in whole units; rounding up lets the last pixels of the grid come into view.
int UnitsCovering(int pixels) { return (pixels + kPixelsPerUnit - 1) / kPixelsPerUnit; }

constexpr long kStyle = wxHSCROLL | wxSUNKEN_BORDER | wxTHUMBNAIL_MULTIPLE_SELECT | wxTHUMBNAIL_SHOW_FILENAME |
                        wxTHUMBNAIL_SHOW_LABEL;

bool Contains(const wxArrayInt& list, int value) { return list.Index(value) != wxNOT_FOUND; }

// wxArrayInt::Remove asserts when the value is absent.
void RemoveValue(wxArrayInt& list, int value) {
    const int at = list.Index(value);
    if (at != wxNOT_FOUND)
        list.RemoveAt(at);
}

// Keys whose cells are tested for falling below the window before being tested for lying above it.
bool MovesForward(int keyCode) {
    return keyCode == WXK_DOWN || keyCode == WXK_RIGHT || keyCode == WXK_END || keyCode == WXK_PAGEDOWN;
}

bool MovesBackward(int keyCode) {
    return keyCode == WXK_UP || keyCode == WXK_LEFT || keyCode == WXK_HOME || keyCode == WXK_PAGEUP;
}

int ModifierFlags(const wxKeyboardState& state) {
    int flags = 0;
    if (state.ShiftDown())
        flags |= wxTHUMBNAIL_SHIFT_DOWN;
    if (state.ControlDown())
        flags |= wxTHUMBNAIL_CTRL_DOWN;
    if (state.AltDown())
        flags |= wxTHUMBNAIL_ALT_DOWN;
    return flags;
}

}  // namespace

wxIMPLEMENT_CLASS(wxThumbnailCtrl, wxScrolledWindow);

wxBEGIN_EVENT_TABLE(wxThumbnailCtrl, wxScrolledWindow)
    EVT_PAINT(wxThumbnailCtrl::OnPaint)
    EVT_ERASE_BACKGROUND(wxThumbnailCtrl::OnEraseBackground)
    EVT_LEFT_DOWN(wxThumbnailCtrl::OnLeftDown)
    EVT_RIGHT_DOWN(wxThumbnailCtrl::OnRightDown)
    EVT_MIDDLE_DOWN(wxThumbnailCtrl::OnMiddleDown)
    EVT_LEFT_DCLICK(wxThumbnailCtrl::OnLeftDClick)
    EVT_LEFT_UP(wxThumbnailCtrl::OnLeftUp)
    EVT_MOTION(wxThumbnailCtrl::OnMotion)
    EVT_MOUSE_CAPTURE_LOST(wxThumbnailCtrl::OnCaptureLost)
    EVT_CHAR(wxThumbnailCtrl::OnChar)
    EVT_SIZE(wxThumbnailCtrl::OnSize)
    EVT_SET_FOCUS(wxThumbnailCtrl::OnFocusChange)
    EVT_KILL_FOCUS(wxThumbnailCtrl::OnFocusChange)
    EVT_MENU(wxID_SELECTALL, wxThumbnailCtrl::OnSelectAll)
    EVT_UPDATE_UI(wxID_SELECTALL, wxThumbnailCtrl::OnUpdateSelectAll)
wxEND_EVENT_TABLE()

wxThumbnailCtrl::wxThumbnailCtrl(wxWindow* parent, const wxPoint& pos, const wxSize& size)
    : m_unselectedColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)), m_dragScrollTimer(this) {
    Create(parent, pos, size);
    Bind(wxEVT_TIMER, &wxThumbnailCtrl::OnDragScrollTimer, this, m_dragScrollTimer.GetId());
}

bool wxThumbnailCtrl::Create(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!wxScrolledWindow::Create(parent, 1, pos, size, kStyle))
        return false;
    if (!GetFont().IsOk())
        SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    UpdateItemSize();
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    SetInitialSize(size);
    EnsureBuffer(size);
    return true;
}

wxSize wxThumbnailCtrl::DoGetBestSize() const { return wxWindowBase::DoGetBestSize(); }

void wxThumbnailCtrl::UpdateItemSize() {
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    m_textHeight = dc.GetTextExtent("X").GetHeight();
    m_itemWidth = m_thumbnailWidth + 2 * m_margin;
    if (HasFlag(wxTHUMBNAIL_SHOW_LABEL))
        m_itemHeight = m_thumbnailHeight + 2 * m_textHeight + 4 * m_margin;
    else
        m_itemHeight = m_thumbnailHeight + m_textHeight + 3 * m_margin;
}

// ---- Items -------------------------------------------------------------------------------------------

int wxThumbnailCtrl::Append(std::unique_ptr<wxThumbnailItem>&& item, int delay) {
    m_delay = delay;
    if (!item || !item->Load(this, false))
        return -1;
    m_items.Add(std::move(item));
    m_anchorItem = m_lastSelected = m_focusItem = -1;
    if (m_freezeCount == 0) {
        UpdateScrollbars();
        Refresh(true);
    }
    return GetCount() - 1;
}

int wxThumbnailCtrl::Insert(std::unique_ptr<wxThumbnailItem> item, int position) {
    wxTHUMBNAIL_CHECK_MSG(position >= 0 && position <= GetCount(), -1, "wxThumbnailCtrl::Insert",
                          "insert position out of range");
    wxThumbnailItem* inserted = item.get();
    m_items.Insert(std::move(item), position);
    m_anchorItem = m_lastSelected = m_focusItem = -1;
    for (int& selected : m_selections) {
        if (selected >= position)
            ++selected;
    }
    // An unreadable file stays in the list as an empty cell.
    inserted->Load(this, false);
    if (m_freezeCount == 0) {
        UpdateScrollbars();
        Refresh(true);
    }
    return position;
}

void wxThumbnailCtrl::Clear() {
    m_anchorItem = m_lastSelected = m_focusItem = -1;
    m_items.Clear();
    m_selections.Clear();
    if (m_freezeCount == 0) {
        UpdateScrollbars();
        Refresh(true);
    }
}

void wxThumbnailCtrl::Delete(int n) {
    for (int* index : {&m_anchorItem, &m_lastSelected, &m_focusItem}) {
        if (*index == n)
            *index = -1;
        else if (*index > n)
            --*index;
    }
    RemoveValue(m_selections, n);
    m_items.RemoveAt(static_cast<size_t>(n));
    for (int& selected : m_selections) {
        if (selected > n)
            --selected;
    }
    if (m_freezeCount == 0) {
        UpdateScrollbars();
        Refresh(true);
    }
}

int wxThumbnailCtrl::GetCount() const { return static_cast<int>(m_items.size()); }

wxThumbnailItem* wxThumbnailCtrl::GetItem(int n) {
    wxTHUMBNAIL_CHECK_MSG(n >= 0, nullptr, "wxThumbnailCtrl::GetItem", "negative item index");
    wxTHUMBNAIL_CHECK_MSG(n < GetCount(), nullptr, "wxThumbnailCtrl::GetItem", "item index out of range");
    return m_items[n];
}

void wxThumbnailCtrl::SetItems(std::vector<std::shared_ptr<wxThumbnailItem>> items,
                               const std::vector<int>& selection) {
    m_items.Assign(std::move(items));
    m_selections.Clear();
    for (int index : selection) {
        if (index >= 0 && index < GetCount() && !Contains(m_selections, index))
            m_selections.Add(index);
    }
    m_anchorItem = m_lastSelected = m_focusItem = m_selections.empty() ? -1 : m_selections[0];
    if (m_freezeCount == 0) {
        UpdateScrollbars();
        Refresh(true);
    }
}

void wxThumbnailCtrl::Freeze() { ++m_freezeCount; }

void wxThumbnailCtrl::Thaw() {
    wxTHUMBNAIL_CHECK_MSG(m_freezeCount > 0, , "wxThumbnailCtrl::Thaw", "Thaw without Freeze");
    if (--m_freezeCount == 0) {
        UpdateScrollbars();
        Refresh(true);
    }
}

// ---- Geometry ----------------------------------------------------------------------------------------

int wxThumbnailCtrl::PerRow(const wxSize& clientSize) const {
    return std::max(1, clientSize.x / (m_itemWidth + m_spacing));
}

int wxThumbnailCtrl::ItemsPerRow() const { return PerRow(GetClientSize()); }

int wxThumbnailCtrl::DropPositionAt(const wxPoint& pt) {
    const int perRow = ItemsPerRow();
    const int row = std::max(0, (pt.y + GetViewStart().y * kPixelsPerUnit) / (m_itemHeight + m_spacing));
    // The right half of a cell means after it.
    const int column = std::clamp((std::max(pt.x, 0) + m_itemWidth / 2) / (m_itemWidth + m_spacing), 0, perRow);
    return std::min(row * perRow + column, GetCount());
}

bool wxThumbnailCtrl::GetRowCol(int item, const wxSize& clientSize, int& row, int& col) {
    wxTHUMBNAIL_CHECK_MSG(item >= 0, false, "wxThumbnailCtrl::GetRowCol", "negative item index");
    wxTHUMBNAIL_CHECK_MSG(item < GetCount(), false, "wxThumbnailCtrl::GetRowCol", "item index out of range");
    const int perRow = PerRow(clientSize);
    row = item / perRow;
    col = item % perRow;
    return true;
}

bool wxThumbnailCtrl::GetItemRect(int n, wxRect& rect, bool transform) {
    wxTHUMBNAIL_CHECK_MSG(n < GetCount(), false, "wxThumbnailCtrl::GetItemRect", "item index out of range");
    int row = 0;
    int col = 0;
    if (!GetRowCol(n, GetClientSize(), row, col))
        return false;
    rect = wxRect(m_spacing + col * (m_itemWidth + m_spacing), m_spacing + row * (m_itemHeight + m_spacing),
                  m_itemWidth, m_itemHeight);
    if (transform) {
        int startX = 0;
        int startY = 0;
        int unitX = 0;
        int unitY = 0;
        GetViewStart(&startX, &startY);
        GetScrollPixelsPerUnit(&unitX, &unitY);
        rect.x -= startX * unitX;
        rect.y -= startY * unitY;
    }
    return true;
}

bool wxThumbnailCtrl::GetItemRectImage(int n, wxRect& rect, bool transform) {
    wxTHUMBNAIL_CHECK_MSG(n < GetCount(), false, "wxThumbnailCtrl::GetItemRectImage", "item index out of range");
    wxRect cell;
    if (!GetItemRect(n, cell, transform))
        return false;
    rect = wxRect(cell.x + (cell.width - m_thumbnailWidth) / 2, cell.y + (cell.height - m_thumbnailHeight) / 2,
                  m_thumbnailWidth, m_thumbnailHeight);
    if (!HasFlag(wxTHUMBNAIL_SHOW_LABEL))
        rect.y -= m_textHeight / 2;
    return true;
}

bool wxThumbnailCtrl::HitTestItem(const wxPoint& pt, int& n) {
    const int perRow = PerRow(GetClientSize());
    const int row = (pt.y + GetViewStart().y * kPixelsPerUnit) / (m_itemHeight + m_spacing);
    const int col = pt.x / (m_itemWidth + m_spacing);
    const int index = row * perRow + col;
    if (pt.x < 0 || pt.y < 0 || index >= GetCount())
        return false;
    // The gaps between cells and the space right of the last column belong to no item.
    wxRect cell;
    if (!GetItemRect(index, cell, true) || !cell.Contains(pt))
        return false;
    n = index;
    return true;
}

// ---- Scrolling and buffer ----------------------------------------------------------------------------

void wxThumbnailCtrl::UpdateScrollbars() {
    if (m_freezeCount > 0)
        return;
    if (GetCount() == 0) {
        SetScrollbars(0, 0, 0, 0, 0, 0);
        return;
    }
    int row = 0;
    int col = 0;
    const wxSize client = GetClientSize();
    GetRowCol(GetCount() - 1, client, row, col);
    const int totalHeight = (m_itemHeight + m_spacing) * (row + 1) + m_spacing;
    int startX = 0;
    int startY = 0;
    GetViewStart(&startX, &startY);
    const int largestStart = UnitsCovering(std::max(totalHeight - client.y, 0));
    SetScrollbars(0, kPixelsPerUnit, 0, UnitsCovering(totalHeight), std::min(startX, 0),
                  std::min(largestStart, startY));
}

void wxThumbnailCtrl::ScrollToUnit(int verticalUnit) {
    SetScrollbars(0, kPixelsPerUnit, 0, GetVirtualSize().y / kPixelsPerUnit, 0, verticalUnit);
}

// A click tests the bottom edge first, as the forward keys do.
void wxThumbnailCtrl::EnsureVisible(int n) { ScrollIntoView(WXK_DOWN, n); }

void wxThumbnailCtrl::ScrollIntoView(int keyCode, int n) {
    wxRect rect;
    if (!(MovesForward(keyCode) || MovesBackward(keyCode)) || !GetItemRect(n, rect, false))
        return;
    const int top = GetViewStart().y * kPixelsPerUnit;
    const int height = GetClientSize().y;
    const bool belowWindow = rect.y + rect.height > top + height;
    const bool aboveWindow = rect.y < top;
    const int bottomAligned = UnitsCovering(rect.y + m_itemHeight + m_spacing - height);
    const int topAligned = rect.y / kPixelsPerUnit;
    if (MovesForward(keyCode)) {
        if (belowWindow)
            ScrollToUnit(bottomAligned);
        else if (aboveWindow)
            ScrollToUnit(topAligned);
    } else {
        if (aboveWindow)
            ScrollToUnit(topAligned);
        else if (belowWindow)
            ScrollToUnit(bottomAligned);
    }
}

bool wxThumbnailCtrl::EnsureBuffer(const wxSize& size) {
    const wxSize wanted = size == wxDefaultSize ? GetClientSize() : size;
    if (wanted.x < 1 || wanted.y < 1)
        return false;
    if (m_buffer.IsOk() && m_buffer.GetWidth() >= wanted.x && m_buffer.GetHeight() >= wanted.y)
        return true;
    // Grown in both directions at once, so that alternating tall and wide sizes do not reallocate.
    const int width = m_buffer.IsOk() ? std::max(wanted.x, m_buffer.GetWidth()) : wanted.x;
    const int height = m_buffer.IsOk() ? std::max(wanted.y, m_buffer.GetHeight()) : wanted.y;
    m_buffer = wxBitmap(width, height);
    return m_buffer.IsOk();
}

void wxThumbnailCtrl::OnSize(wxSizeEvent& event) {
    UpdateScrollbars();
    EnsureBuffer(GetClientSize());
    event.Skip();
}

// ---- Painting ----------------------------------------------------------------------------------------

bool wxThumbnailCtrl::DrawItem(int n, wxDC& dc, const wxRect& imageRect, int style) {
    wxThumbnailItem* item = GetItem(n);
    return item && item->Draw(dc, this, imageRect, style);
}

bool wxThumbnailCtrl::DrawItemBackground(int n, wxDC& dc, const wxRect& rect, const wxRect& imageRect, int style) {
    wxThumbnailItem* item = GetItem(n);
    return item && item->DrawBackground(dc, this, rect, imageRect, style, n);
}

void wxThumbnailCtrl::FillBackground(wxDC& dc) {
    wxColour colour = GetBackgroundColour();
    if (!colour.IsOk())
        colour = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    dc.SetBrush(wxBrush(colour, wxBRUSHSTYLE_SOLID));
    dc.SetPen(*wxTRANSPARENT_PEN);
    const wxSize client = GetClientSize();
    dc.DrawRectangle(wxRect(CalcUnscrolledPosition(wxPoint(-2, -2)), wxSize(client.x + 4, client.y + 4)));
}

void wxThumbnailCtrl::OnPaint(wxPaintEvent&) {
    if (!EnsureBuffer()) {
        wxPaintDC nothingToShow(this);
        return;
    }
    wxBufferedPaintDC dc(this, m_buffer, wxBUFFER_CLIENT_AREA);
    PrepareDC(dc);
    // Frozen: the buffer's previous content goes back to the window unchanged.
    if (m_freezeCount > 0)
        return;
    FillBackground(dc);
    if (GetCount() == 0)
        return;

    const wxRegion dirty = GetUpdateRegion();
    const bool focused = FindFocus() == this;
    // Only the rows the region touches: a strip of 100,000 frames is painted as fast as one of 100.
    const wxRect box = dirty.GetBox();
    const int top = box.y + GetViewStart().y * kPixelsPerUnit - m_spacing;
    const int rowPitch = m_itemHeight + m_spacing;
    const int perRow = ItemsPerRow();
    const int first = std::max(0, top / rowPitch) * perRow;
    const int last = std::min(GetCount(), (std::max(0, top + box.height) / rowPitch + 1) * perRow);
    for (int i = first; i < last; ++i) {
        wxRect onScreen;
        GetItemRect(i, onScreen, true);
        if (dirty.Contains(onScreen) == wxOutRegion)
            continue;
        int style = 0;
        if (Contains(m_selections, i))
            style |= wxTHUMBNAIL_IS_SELECTED;
        if (focused) {
            style |= wxTHUMBNAIL_CTRL_FOCUSED;
            if (i == m_focusItem)
                style |= wxTHUMBNAIL_IS_FOCUS_ITEM;
        }
        wxRect cell;
        wxRect picture;
        GetItemRect(i, cell, false);
        GetItemRectImage(i, picture, false);
        DrawItemBackground(i, dc, cell, picture, style);
        DrawItem(i, dc, picture, style);
    }
    DrawDropMark(dc);
}

void wxThumbnailCtrl::DrawDropMark(wxDC& dc) {
    if (m_dropBefore < 0 || GetCount() == 0)
        return;
    // In the gap left of the cell it stands before; after the last cell, in the gap right of it.
    const bool atEnd = m_dropBefore >= GetCount();
    wxRect cell;
    GetItemRect(atEnd ? GetCount() - 1 : m_dropBefore, cell, false);
    const int x = atEnd ? cell.GetRight() + 1 : cell.x - m_spacing;
    dc.SetBrush(wxBrush(m_dropMarkColour, wxBRUSHSTYLE_SOLID));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(x, cell.y - m_spacing, m_spacing, cell.height + 2 * m_spacing);
}

void wxThumbnailCtrl::OnEraseBackground(wxEraseEvent&) {
    // Everything is painted through the buffer.
}

// ---- Selection ---------------------------------------------------------------------------------------

void wxThumbnailCtrl::RefreshItem(int n) {
    if (m_freezeCount > 0 || n < 0 || n >= GetCount())
        return;
    wxRect rect;
    GetItemRect(n, rect, true);
    RefreshRect(rect, true);
}

void wxThumbnailCtrl::Select(int n, bool select) {
    wxTHUMBNAIL_CHECK_MSG(n >= 0, , "wxThumbnailCtrl::Select", "negative item index");
    wxTHUMBNAIL_CHECK_MSG(n < GetCount(), , "wxThumbnailCtrl::Select", "item index out of range");
    const int previousFocus = m_focusItem;
    if (select && !Contains(m_selections, n))
        m_selections.Add(n);
    else if (!select)
        RemoveValue(m_selections, n);
    m_anchorItem = m_lastSelected = m_focusItem = n;
    RefreshItem(n);
    if (previousFocus != n)
        RefreshItem(previousFocus);
}

void wxThumbnailCtrl::SetFocusItem(int item) {
    wxTHUMBNAIL_CHECK_MSG(item < GetCount(), , "wxThumbnailCtrl::SetFocusItem", "item index out of range");
    const int previousFocus = m_focusItem;
    m_focusItem = item;
    RefreshItem(previousFocus);
    RefreshItem(item);
}

void wxThumbnailCtrl::SelectAll() {
    Freeze();
    for (int i = 0; i < GetCount(); ++i)
        Select(i, true);
    m_focusItem = GetCount() - 1;
    Thaw();
}

void wxThumbnailCtrl::ApplySelection(int n, int flags) {
    const bool multiple = HasFlag(wxTHUMBNAIL_MULTIPLE_SELECT);
    const bool wasSelected = Contains(m_selections, n);
    std::vector<int> changed;
    const auto noteChanged = [&changed](int item) {
        if (std::find(changed.begin(), changed.end(), item) == changed.end())
            changed.push_back(item);
    };

    if (multiple && (flags & wxTHUMBNAIL_CTRL_DOWN)) {
        Select(n, !wasSelected);
        changed.push_back(n);
    } else if (multiple && (flags & wxTHUMBNAIL_SHIFT_DOWN)) {
        const int anchor = m_anchorItem;
        const wxArrayInt before = m_selections;
        m_selections.Clear();
        const bool ranged = anchor != -1 && anchor < GetCount() && anchor != n;
        if (ranged) {
            const int step = n > anchor ? 1 : -1;
            for (int i = anchor; i != n; i += step) {
                if (!Contains(m_selections, i)) {
                    m_selections.Add(i);
                    changed.push_back(i);
                    RefreshItem(i);
                }
            }
        }
        // Dropped from the selection without a deselection event.
        for (int item : before) {
            if (!Contains(m_selections, item))
                RefreshItem(item);
        }
        Select(n, true);
        noteChanged(n);
        // Repeated Shift clicks span from the same anchor.
        if (ranged)
            m_anchorItem = anchor;
    } else {
        for (int item : m_selections) {
            RefreshItem(item);
            changed.push_back(item);
        }
        m_selections.Clear();
        Select(n, true);
        noteChanged(n);
    }

    for (int item : changed) {
        SendEvent(Contains(m_selections, item) ? wxEVT_COMMAND_THUMBNAIL_ITEM_SELECTED
                                               : wxEVT_COMMAND_THUMBNAIL_ITEM_DESELECTED,
                  item, 0);
    }
}

bool wxThumbnailCtrl::NavigateByKey(int keyCode, int flags) {
    const int count = GetCount();
    if (count == 0)
        return false;
    const wxSize client = GetClientSize();
    const int perRow = PerRow(client);
    const int perPage = std::max(1, client.y / (m_itemHeight + m_spacing));

    int current = m_focusItem != -1 ? m_focusItem : m_lastSelected;
    if (current < 0 || current >= count) {
        m_lastSelected = 0;
        ApplySelection(0, flags);
        ScrollIntoView(keyCode, 0);
        return true;
    }

    int target = -1;
    switch (keyCode) {
        case WXK_RIGHT:
            target = current + 1 < count ? current + 1 : -1;
            break;
        case WXK_LEFT:
            target = current - 1;
            break;
        case WXK_DOWN:
            target = current + perRow < count ? current + perRow : -1;
            break;
        case WXK_UP:
            target = current - perRow >= 0 ? current - perRow : -1;
            break;
        case WXK_PAGEDOWN:
            target = std::min(current + perPage * perRow, count - 1);
            break;
        case WXK_PAGEUP:
            target = std::max(current - perPage * perRow, 0);
            break;
        case WXK_END:
            target = count - 1;
            break;
        case WXK_HOME:
            target = 0;
            break;
        default:
            break;
    }
    if (target < 0)
        return true;
    ApplySelection(target, flags);
    ScrollIntoView(keyCode, target);
    return true;
}

// ---- Input -------------------------------------------------------------------------------------------

void wxThumbnailCtrl::SendEvent(const wxEventType& type, int index, int flags) {
    wxThumbnailEvent event(type, GetId());
    event.SetEventObject(this);
    event.SetIndex(index);
    event.SetFlags(flags);
    ProcessWindowEvent(event);
}

void wxThumbnailCtrl::OnLeftDown(wxMouseEvent& event) {
    SetFocus();
    int n = -1;
    if (!HitTestItem(event.GetPosition(), n))
        return;
    const int flags = ModifierFlags(event);
    m_pressPoint = event.GetPosition();
    m_pressItem = n;
    // A plain press inside a selection of several may start dragging them all: its click waits for the release.
    m_clickPending = flags == 0 && m_selections.size() > 1 && Contains(m_selections, n);
    if (m_clickPending)
        return;
    EnsureVisible(n);
    ApplySelection(n, flags);
    SendEvent(wxEVT_COMMAND_THUMBNAIL_LEFT_CLICK, n, flags);
}

void wxThumbnailCtrl::OnMotion(wxMouseEvent& event) {
    if (m_pressItem < 0 || !event.LeftIsDown())
        return;
    const wxPoint pt = event.GetPosition();
    if (!m_dragging) {
        const wxPoint moved = pt - m_pressPoint;
        // A Ctrl press that took the item out of the selection has nothing to drag.
        if (std::max(std::abs(moved.x), std::abs(moved.y)) < kDragThreshold || !Contains(m_selections, m_pressItem))
            return;
        m_dragging = true;
        m_clickPending = false;
        CaptureMouse();
    }
    ShowDropMark(DropPositionAt(pt));
    const bool nearEdge = pt.y < kDragScrollEdge || pt.y >= GetClientSize().y - kDragScrollEdge;
    if (nearEdge && !m_dragScrollTimer.IsRunning())
        m_dragScrollTimer.Start(kDragScrollIntervalMs);
    else if (!nearEdge)
        m_dragScrollTimer.Stop();
}

void wxThumbnailCtrl::OnLeftUp(wxMouseEvent&) {
    const bool dragged = m_dragging;
    const int dropBefore = m_dropBefore;
    const int pressed = m_pressItem;
    const bool clickPending = m_clickPending;
    EndDrag();
    if (dragged && dropBefore >= 0) {
        SendEvent(wxEVT_COMMAND_THUMBNAIL_MOVE_SELECTION, dropBefore, 0);
    } else if (clickPending && pressed < GetCount()) {
        EnsureVisible(pressed);
        ApplySelection(pressed, 0);
        SendEvent(wxEVT_COMMAND_THUMBNAIL_LEFT_CLICK, pressed, 0);
    }
}

void wxThumbnailCtrl::OnCaptureLost(wxMouseCaptureLostEvent&) {
    // Another window took the pointer: the drag ends where it is, without a drop.
    EndDrag();
}

void wxThumbnailCtrl::OnDragScrollTimer(wxTimerEvent&) {
    const wxPoint pt = ScreenToClient(wxGetMousePosition());
    if (!m_dragging || !ScrollTowardsPointer(pt)) {
        m_dragScrollTimer.Stop();
        return;
    }
    ShowDropMark(DropPositionAt(pt));
}

bool wxThumbnailCtrl::ScrollTowardsPointer(const wxPoint& pt) {
    int step = 0;
    if (pt.y < kDragScrollEdge)
        step = -1;
    else if (pt.y >= GetClientSize().y - kDragScrollEdge)
        step = 1;
    if (step == 0)
        return false;
    Scroll(0, std::max(0, GetViewStart().y + step));
    return true;
}

void wxThumbnailCtrl::ShowDropMark(int before) {
    if (before == m_dropBefore)
        return;
    m_dropBefore = before;
    Refresh(false);
}

void wxThumbnailCtrl::EndDrag() {
    m_dragScrollTimer.Stop();
    if (HasCapture())
        ReleaseMouse();
    m_dragging = false;
    m_pressItem = -1;
    m_clickPending = false;
    ShowDropMark(-1);
}

void wxThumbnailCtrl::OnRightDown(wxMouseEvent& event) {
    SetFocus();
    int n = -1;
    if (!HitTestItem(event.GetPosition(), n))
        return;
    if (n != m_focusItem)
        SetFocusItem(n);
    SendEvent(wxEVT_COMMAND_THUMBNAIL_RIGHT_CLICK, n, ModifierFlags(event));
}

void wxThumbnailCtrl::OnMiddleDown(wxMouseEvent& event) {
    int n = -1;
    if (HitTestItem(event.GetPosition(), n))
        SendEvent(wxEVT_COMMAND_THUMBNAIL_MIDDLE_CLICK, n, ModifierFlags(event));
}

void wxThumbnailCtrl::OnLeftDClick(wxMouseEvent& event) {
    int n = -1;
    if (!HitTestItem(event.GetPosition(), n))
        return;
    // The second press of a double click may start a drag as well.
    m_pressPoint = event.GetPosition();
    m_pressItem = n;
    m_clickPending = false;
    SendEvent(wxEVT_COMMAND_THUMBNAIL_LEFT_DCLICK, n, ModifierFlags(event));
}

void wxThumbnailCtrl::OnChar(wxKeyEvent& event) {
    const int flags = ModifierFlags(event);
    switch (event.GetKeyCode()) {
        case WXK_LEFT:
        case WXK_RIGHT:
        case WXK_UP:
        case WXK_DOWN:
        case WXK_HOME:
        case WXK_END:
        case WXK_PAGEUP:
        case WXK_PAGEDOWN:
            NavigateByKey(event.GetKeyCode(), flags);
            break;
        case WXK_RETURN:
            SendEvent(wxEVT_COMMAND_THUMBNAIL_RETURN, -1, flags);
            break;
        default:
            event.Skip();
            break;
    }
}

void wxThumbnailCtrl::OnFocusChange(wxFocusEvent&) {
    // Selected cells change colour and the focus mark comes or goes.
    if (GetCount() > 0)
        Refresh(true);
}

void wxThumbnailCtrl::OnSelectAll(wxCommandEvent&) { SelectAll(); }

void wxThumbnailCtrl::OnUpdateSelectAll(wxUpdateUIEvent& event) { event.Enable(GetCount() > 0); }
