// The strip's grid, scrolling and item list: cell size, rows, scroll range, scrolling into view,
// index adjustments on insert and delete, refusal, and the batch counter.
#include "tests/gui/thumbnail_strip_fixture.h"
#include "tests/support/assertions.h"
#include "window/my_frame.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/filefn.h>
#include <wx/panel.h>
#include <wx/sizer.h>

#include <algorithm>
#include <set>

namespace {

wxRect ItemRect(wxThumbnailCtrl* strip, int n, bool transform = true) {
    wxRect rect;
    EXPECT_TRUE(strip->GetItemRect(n, rect, transform));
    return rect;
}

int ViewTop(wxThumbnailCtrl* strip) { return strip->GetViewStart().y; }

}  // namespace

TEST_F(StripTest, CellSizeFollowsTheMeasuredTextAndRowsFollowTheWidth) {
    wxClientDC dc(strip);
    dc.SetFont(strip->GetFont());
    const int textHeight = dc.GetTextExtent("X").GetHeight();
    ASSERT_GT(textHeight, 0);
    EXPECT_EQ(strip->m_textHeight, textHeight);
    EXPECT_EQ(strip->m_itemWidth, 86);
    const int ih = 80 + 2 * textHeight + 12;
    EXPECT_EQ(strip->m_itemHeight, ih);
    EXPECT_EQ(strip->GetId(), 1);
    EXPECT_TRUE(strip->HasFlag(wxTHUMBNAIL_MULTIPLE_SELECT | wxTHUMBNAIL_SHOW_FILENAME | wxTHUMBNAIL_SHOW_LABEL));

    AppendPictures(3);
    SetStripClientSize(88, 700);  // one cell of 86 + 3 spacing does not fit twice
    EXPECT_EQ(ItemRect(strip, 0), wxRect(3, 3, 86, ih));
    EXPECT_EQ(ItemRect(strip, 1), wxRect(3, 3 + ih + 3, 86, ih));
    EXPECT_EQ(ItemRect(strip, 2), wxRect(3, 3 + 2 * (ih + 3), 86, ih));

    SetStripClientSize(178, 700);  // 2 x 89
    EXPECT_EQ(ItemRect(strip, 1), wxRect(92, 3, 86, ih));
    EXPECT_EQ(ItemRect(strip, 2), wxRect(3, ih + 6, 86, ih));
    int row = -1;
    int col = -1;
    EXPECT_TRUE(strip->GetRowCol(2, wxSize(267, 10), row, col));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, 2);
    EXPECT_TRUE(strip->GetRowCol(2, wxSize(177, 10), row, col));
    EXPECT_EQ(row, 2);
    EXPECT_EQ(col, 0);

    SetStripClientSize(40, 700);  // narrower than one cell: still one per row
    EXPECT_EQ(ItemRect(strip, 1), wxRect(3, ih + 6, 86, ih));

    // The picture area is centred in the cell between the two text bands; without the label line it
    // moves up by half a text line.
    wxRect picture;
    EXPECT_TRUE(strip->GetItemRectImage(1, picture, false));
    EXPECT_EQ(picture, wxRect(6, ih + 6 + (ih - 80) / 2, 80, 80));
    strip->ToggleWindowStyle(wxTHUMBNAIL_SHOW_LABEL);
    EXPECT_TRUE(strip->GetItemRectImage(1, picture, false));
    EXPECT_EQ(picture, wxRect(6, ih + 6 + (ih - 80) / 2 - textHeight / 2, 80, 80));
    EXPECT_EQ(strip->m_itemHeight, ih) << "the cell size is fixed at creation";
}

TEST_F(StripTest, IndicesOutOfRangeAreReportedAndRefused) {
    AppendPictures(3);
    ExpectAssertions expect;
    wxRect rect(1, 2, 3, 4);
    int row = 7;
    int col = 8;
    EXPECT_EQ(strip->GetItem(3), nullptr);
    EXPECT_FALSE(strip->GetItemRect(3, rect));
    EXPECT_FALSE(strip->GetItemRectImage(5, rect, false));
    EXPECT_FALSE(strip->GetRowCol(3, strip->GetClientSize(), row, col));
    EXPECT_EQ(rect, wxRect(1, 2, 3, 4));
    EXPECT_EQ(row, 7);
    EXPECT_EQ(col, 8);
    wxBitmap target(10, 10);
    wxMemoryDC dc(target);
    EXPECT_FALSE(strip->DrawItem(3, dc, rect, 0));
    EXPECT_FALSE(strip->DrawItemBackground(4, dc, rect, rect, 0));
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"n < GetCount()", "wxThumbnailCtrl::GetItem"},
        {"n < GetCount()", "wxThumbnailCtrl::GetItemRect"},
        {"n < GetCount()", "wxThumbnailCtrl::GetItemRectImage"},
        {"item < GetCount()", "wxThumbnailCtrl::GetRowCol"},
        {"n < GetCount()", "wxThumbnailCtrl::GetItem"},
        {"n < GetCount()", "wxThumbnailCtrl::GetItem"},
    };
    ASSERT_EQ(expect.Recorded().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expect.Recorded()[i].condition, expected[i].first);
        EXPECT_EQ(expect.Recorded()[i].function, expected[i].second);
    }
    EXPECT_NE(strip->GetItem(2), nullptr);
}

TEST_F(StripTest, ScrollRangeInTenPixelUnits) {
    SetStripClientSize(88, 300);
    EXPECT_EQ(strip->GetScrollLines(wxVERTICAL), 0) << "an empty strip does not scroll";
    {
        ExpectAssertions expect;
        EXPECT_EQ(strip->GetItem(0), nullptr);
        ASSERT_EQ(expect.Recorded().size(), 1u);
        EXPECT_EQ(expect.Recorded()[0].condition, "n < GetCount()");
    }

    AppendPictures(10);
    const int step = strip->m_itemHeight + 3;
    const int total = 10 * step + 3;  // 1213 with a 13-pixel text line
    int ppuX = -1;
    int ppuY = -1;
    strip->GetScrollPixelsPerUnit(&ppuX, &ppuY);
    EXPECT_EQ(ppuX, 0);
    EXPECT_EQ(ppuY, 10);
    EXPECT_EQ(strip->GetScrollLines(wxVERTICAL), (total + 9) / 10);
    EXPECT_EQ(strip->GetScrollLines(wxHORIZONTAL), 0);

    // Scrolled to the end, then shortened: the start falls back to the largest useful one.
    strip->Scroll(0, (total + 9) / 10);
    gui_test::Pump(50);
    const int atEnd = ViewTop(strip);
    EXPECT_GT(atEnd, 0);
    for (int i = 0; i < 6; ++i)
        strip->Delete(strip->GetCount() - 1);
    const int shorter = 4 * step + 3;
    EXPECT_EQ(strip->GetScrollLines(wxVERTICAL), (shorter + 9) / 10);
    EXPECT_EQ(ViewTop(strip), std::min(atEnd, (std::max(shorter - 300, 0) + 9) / 10));

    // Wider: two per row, so half the rows.
    SetStripClientSize(178, 200);
    EXPECT_EQ(strip->GetScrollLines(wxVERTICAL), (2 * step + 3 + 9) / 10);

    strip->Clear();
    EXPECT_EQ(strip->GetScrollLines(wxVERTICAL), 0);
    EXPECT_EQ(ViewTop(strip), 0);
}

TEST_F(StripTest, ClicksAndKeysScrollTheItemIntoView) {
    AppendPictures(5);
    SetStripClientSize(88, 200);
    const int ih = strip->m_itemHeight;
    const int y1 = 3 + ih + 3;  // content top of item 1

    // A click on the partly visible item 1 brings its bottom plus one spacing to the window bottom.
    Click(wxPoint(40, 150));
    EXPECT_EQ(strip->m_focusItem, 1);
    EXPECT_EQ(ViewTop(strip), (y1 + ih + 3 - 200 + 9) / 10);
    // Up to item 0, whose top is above the window: its top comes to the window top.
    Key(WXK_UP);
    EXPECT_EQ(strip->m_focusItem, 0);
    EXPECT_EQ(ViewTop(strip), 0);
    // A fully visible item scrolls nothing.
    Click(wxPoint(40, 40));
    EXPECT_EQ(ViewTop(strip), 0);
    Key(WXK_END);
    EXPECT_EQ(ViewTop(strip), (3 + 4 * (ih + 3) + ih + 3 - 200 + 9) / 10);
    Key(WXK_HOME);
    EXPECT_EQ(ViewTop(strip), 0);

    // A window lower than a cell, lying inside item 1: the key decides which edge wins.
    SetStripClientSize(88, 100);
    const int inside = y1 / 10 + 1;
    ASSERT_LT(inside * 10 + 100, y1 + ih);
    strip->Select(2);
    strip->Scroll(0, inside);
    gui_test::Pump(30);
    Key(WXK_UP);  // to item 1: top edge first
    EXPECT_EQ(strip->m_focusItem, 1);
    EXPECT_EQ(ViewTop(strip), y1 / 10);
    strip->Select(0);
    strip->Scroll(0, inside);
    gui_test::Pump(30);
    Key(WXK_DOWN);  // to item 1: bottom edge first
    EXPECT_EQ(strip->m_focusItem, 1);
    EXPECT_EQ(ViewTop(strip), (y1 + ih + 3 - 100 + 9) / 10);
    // A click tests the bottom edge first, like Down.
    strip->Scroll(0, inside);
    gui_test::Pump(30);
    Click(wxPoint(40, 50));
    EXPECT_EQ(strip->m_focusItem, 1);
    EXPECT_EQ(ViewTop(strip), (y1 + ih + 3 - 100 + 9) / 10);
}

TEST_F(StripTest, InsertAndDeleteKeepTheSameItemsSelected) {
    AppendPictures(5);
    strip->Select(2);
    strip->Insert(std::make_unique<wxImageThumbnailItem>(Picture("new.png")), 0);
    EXPECT_EQ(Selection(), std::vector<int>{3});
    EXPECT_TRUE(strip->GetItem(3)->m_path.EndsWith("/f2.png"));
    EXPECT_TRUE(strip->GetItem(0)->m_path.EndsWith("/new.png"));
    EXPECT_EQ(strip->m_focusItem, -1);
    EXPECT_EQ(strip->m_anchorItem, -1);
    EXPECT_EQ(strip->m_lastSelected, -1);
    // Items: new f0 f1 f2 f3 f4; selected f2 (3), f0 (1), f4 (5) in that order.
    strip->Select(1);
    strip->Select(5);
    EXPECT_EQ(Selection(), (std::vector<int>{3, 1, 5}));
    EXPECT_EQ(strip->Insert(std::make_unique<wxImageThumbnailItem>(Picture("end.png")), 6), 6);
    EXPECT_EQ(Selection(), (std::vector<int>{3, 1, 5})) << "inserting after every selected item shifts none";
    strip->m_focusItem = 5;

    // Deleting a selected item before the focus: the entries above move down, the focus with its item.
    strip->Delete(3);
    EXPECT_EQ(Selection(), (std::vector<int>{1, 4}));
    EXPECT_EQ(strip->m_focusItem, 4);
    EXPECT_TRUE(strip->GetItem(4)->m_path.EndsWith("/f4.png"));
    // Deleting the focus item clears it; an unselected one leaves the selection alone.
    strip->m_anchorItem = 2;
    strip->m_focusItem = 5;
    strip->Delete(5);
    EXPECT_EQ(strip->m_focusItem, -1);
    EXPECT_EQ(strip->m_anchorItem, 2);
    EXPECT_EQ(Selection(), (std::vector<int>{1, 4}));
    EXPECT_EQ(strip->GetCount(), 5);

    {
        ExpectAssertions expect;
        strip->Delete(5);
        ASSERT_EQ(expect.Recorded().size(), 1u);
        EXPECT_EQ(expect.Recorded()[0].condition, "uiIndex < size()");
        EXPECT_EQ(expect.Recorded()[0].function, "wxThumbnailItemArray::RemoveAt");
        EXPECT_EQ(expect.Recorded()[0].message, "bad index in wxThumbnailItemArray::RemoveAt()");
    }
    EXPECT_EQ(strip->GetCount(), 5);
    EXPECT_EQ(Selection(), (std::vector<int>{1, 4}));

    strip->Clear();
    EXPECT_EQ(strip->GetCount(), 0);
    EXPECT_TRUE(Selection().empty());
    EXPECT_EQ(strip->m_anchorItem, -1);
}

TEST_F(StripTest, AppendRefusesWhatCannotLoadAndInsertKeepsIt) {
    AppendPictures(2, 10);
    strip->Select(1);

    std::unique_ptr<wxThumbnailItem> missing = std::make_unique<wxImageThumbnailItem>("/nonexistent/a.png");
    EXPECT_EQ(strip->Append(std::move(missing), 25), -1);
    ASSERT_NE(missing, nullptr) << "the refused item stays with the caller";
    EXPECT_EQ(missing->m_path, "/nonexistent/a.png");
    EXPECT_EQ(strip->GetCount(), 2);
    EXPECT_EQ(strip->m_delay, 25) << "the delay is stored even when the item is refused";
    EXPECT_EQ(strip->m_focusItem, 1) << "a refusal changes nothing else";

    std::unique_ptr<wxThumbnailItem> good = std::make_unique<wxImageThumbnailItem>(Picture("g.png"));
    wxThumbnailItem* goodItem = good.get();
    EXPECT_EQ(strip->Append(std::move(good), 30), 2);
    EXPECT_EQ(good, nullptr);
    EXPECT_EQ(strip->GetItem(2), goodItem);
    EXPECT_EQ(strip->m_delay, 30);
    EXPECT_EQ(strip->m_focusItem, -1);
    EXPECT_EQ(Selection(), std::vector<int>{1});

    EXPECT_EQ(strip->Insert(std::move(missing), 0), 0);
    EXPECT_EQ(strip->GetCount(), 4);
    auto* kept = wxDynamicCast(strip->GetItem(0), wxImageThumbnailItem);
    ASSERT_NE(kept, nullptr);
    EXPECT_FALSE(kept->m_thumbnail.IsOk());
    EXPECT_EQ(Selection(), std::vector<int>{2});
    EXPECT_EQ(strip->m_delay, 30) << "Insert leaves the delay alone";

    ExpectAssertions expect;
    EXPECT_EQ(strip->Insert(std::make_unique<wxImageThumbnailItem>(Picture("x.png")), 5), -1);
    EXPECT_EQ(strip->GetCount(), 4);
    EXPECT_EQ(expect.Recorded().size(), 1u);
}

TEST_F(StripTest, FreezeCountsAndTheLastThawRelaysOnce) {
    SetStripClientSize(88, 300);
    strip->Freeze();
    strip->Freeze();
    AppendPictures(10);
    strip->Select(3);
    strip->drawn.clear();
    strip->Refresh();
    gui_test::Pump(150);
    EXPECT_TRUE(strip->drawn.empty()) << "a frozen strip paints no cell";
    EXPECT_EQ(strip->GetScrollLines(wxVERTICAL), 0) << "nor re-lays the grid";
    strip->Thaw();
    gui_test::Pump(100);
    EXPECT_TRUE(strip->drawn.empty());
    EXPECT_EQ(strip->GetScrollLines(wxVERTICAL), 0);
    strip->Thaw();
    EXPECT_EQ(strip->GetScrollLines(wxVERTICAL), (10 * (strip->m_itemHeight + 3) + 3 + 9) / 10);
    gui_test::PumpUntil([this] { return !strip->drawn.empty(); }, 1000);
    gui_test::Pump(100);
    // Only the cells in the 300-pixel window, each once.
    EXPECT_EQ(strip->drawn, (std::vector<int>{0, 1, 2}));

    ExpectAssertions expect;
    strip->Thaw();
    EXPECT_EQ(strip->m_freezeCount, 0);
    EXPECT_EQ(expect.Recorded().size(), 1u);
}

TEST_F(StripTest, RepaintAfterScrollDrawsOnlyTheVisibleCells) {
    AppendPictures(200);
    SetStripClientSize(360, 400);  // 4 per row
    const int step = strip->m_itemHeight + 3;
    strip->Scroll(0, 30 * step / 10);
    gui_test::Pump(50);
    strip->drawn.clear();
    strip->Refresh();
    strip->Update();
    gui_test::Pump(50);
    ASSERT_FALSE(strip->drawn.empty());
    const int top = strip->GetViewStart().y * 10;
    const std::set<int> drawn(strip->drawn.begin(), strip->drawn.end());
    EXPECT_EQ(drawn.size(), strip->drawn.size()) << "each cell once";
    for (int index : drawn) {
        const int row = index / 4;
        EXPECT_LT(3 + row * step, top + 400) << index;
        EXPECT_GT(3 + row * step + strip->m_itemHeight, top) << index;
    }
    // Every row that shows in the window is drawn, four cells each.
    EXPECT_EQ(drawn.size() % 4, 0u);
    EXPECT_GE(drawn.size(), 12u);
    EXPECT_LE(drawn.size(), 20u);
}

TEST_F(MainWindowTest, TheStripFillsItsPanelInTheMainWindow) {
    wxThumbnailCtrl* strip = frame->m_thumbnailCtrl;
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->GetParent(), frame->m_panel1);
    EXPECT_EQ(strip->GetId(), 1);
    EXPECT_EQ(strip->GetBackgroundColour(), wxColour(176, 223, 227));
    wxSizer* sizer = frame->m_panel1->GetSizer();
    ASSERT_NE(sizer, nullptr);
    EXPECT_TRUE(sizer->IsKindOf(wxCLASSINFO(wxBoxSizer)));
    EXPECT_EQ(static_cast<wxBoxSizer*>(sizer)->GetOrientation(), wxHORIZONTAL);
    wxSizerItem* entry = sizer->GetItem(strip);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->GetProportion(), 1);
    EXPECT_TRUE(entry->GetFlag() & wxEXPAND);
    EXPECT_EQ(entry->GetBorder(), 0);
    EXPECT_EQ(strip->GetSize(), frame->m_panel1->GetClientSize());
    EXPECT_EQ(strip->GetCount(), 0);
    // Its own background shows around the cells.
    const wxImage shot = gui_test::Screenshot(strip);
    EXPECT_EQ(wxColour(shot.GetRed(5, 5), shot.GetGreen(5, 5), shot.GetBlue(5, 5)), wxColour(176, 223, 227));
}
