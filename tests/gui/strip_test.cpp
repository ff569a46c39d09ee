// The frame strip as a person sees and uses it: where cells are drawn, what clicks and keys select, what
// it tells its parent, and what it refuses.
#include "tests/support/assertions.h"
#include "tests/support/strip_fixture.h"

#include <wx/dcclient.h>
#include <wx/ffile.h>

namespace {

using Notices = std::vector<StripNotice>;
using Indexes = std::vector<int>;

// Lengths of the runs of cell pixels (anything but the strip's background) along a column of the screenshot.
Indexes CellRuns(const wxImage& shot, int x, const wxColour& background) {
    Indexes runs{0};
    for (int y = 0; y < shot.GetHeight(); ++y) {
        if (!gui_test::SameColour(shot, {x, y}, background))
            ++runs.back();
        else if (runs.back() > 0)
            runs.push_back(0);
    }
    if (runs.back() == 0)
        runs.pop_back();
    return runs;
}

}  // namespace

TEST_F(StripTest, CellsAre86PixelsWideWithTwoTextLinesAndTileTheWidth) {
    AppendPictures(10);
    SetStripClientSize(440, 500);  // room for 4 cells and their gaps; a fifth would need 445
    wxClientDC dc(strip);
    dc.SetFont(strip->GetFont());
    const int cellHeight = 80 + 2 * dc.GetTextExtent("X").GetHeight() + 4 * 3;
    const wxImage shot = Shot();
    // Rows of cells separated by 3-pixel gaps: three rows of a 4-per-row grid.
    EXPECT_EQ(CellRuns(shot, 4, background), Indexes(3, cellHeight));
    EXPECT_TRUE(gui_test::SameColour(shot, {2, 10}, background));
    for (int column = 0; column < 4; ++column) {
        EXPECT_FALSE(gui_test::SameColour(shot, {3 + column * 89, 10}, background)) << column;
        EXPECT_FALSE(gui_test::SameColour(shot, {3 + column * 89 + 85, 10}, background)) << column;
        EXPECT_TRUE(gui_test::SameColour(shot, {3 + column * 89 + 87, 10}, background)) << column;
    }
    // A click on the last pixel column of a cell selects it; one in a gap selects nothing.
    Click({3 + 89 + 85, 3 + cellHeight + 3 + 20});
    EXPECT_EQ(Selection(), Indexes{5});
    Click({3 + 89 + 87, 20});
    EXPECT_EQ(Selection(), Indexes{5});
}

TEST_F(StripTest, PlainCtrlAndShiftClicksSelectAndReportEveryChange) {
    AppendPictures(10);  // four per row in 400 pixels
    FocusOther();
    Click(CellCentre(2));
    EXPECT_EQ(wxWindow::FindFocus(), strip);
    EXPECT_EQ(TakeNotices(), (Notices{{"selected", 2}, {"left", 2}}));
    Click(CellCentre(7), wxMOUSE_BTN_LEFT, wxMOD_CONTROL);
    EXPECT_EQ(Selection(), (Indexes{2, 7}));
    Click(CellCentre(2), wxMOUSE_BTN_LEFT, wxMOD_CONTROL);  // Ctrl toggles
    EXPECT_EQ(Selection(), Indexes{7});
    TakeNotices();
    Click(CellCentre(5));
    EXPECT_EQ(TakeNotices(), (Notices{{"deselected", 7}, {"selected", 5}, {"left", 5}}));

    // Shift spans from the anchor, also from the last item, and repeated Shift clicks keep the anchor.
    Click(CellCentre(9));
    Click(CellCentre(6), wxMOUSE_BTN_LEFT, wxMOD_SHIFT);
    EXPECT_EQ(Selection(), (Indexes{9, 8, 7, 6}));
    Click(CellCentre(8), wxMOUSE_BTN_LEFT, wxMOD_SHIFT);
    EXPECT_EQ(Selection(), (Indexes{9, 8}));
    TakeNotices();
    Click({399, 499});  // empty space and the right button change nothing but tell the parent
    Click(CellCentre(1), wxMOUSE_BTN_RIGHT);
    EXPECT_EQ(TakeNotices(), (Notices{{"right", 1}}));
    EXPECT_EQ(Selection(), (Indexes{9, 8}));
}

TEST_F(StripTest, KeysMoveTheSelectionWithinTheGridAndReturnIsReported) {
    AppendPictures(10);
    // Four per row; without a focus item the first key starts at item 0.
    const std::pair<int, int> moves[] = {{WXK_END, 0}, {WXK_END, 9}, {WXK_RIGHT, 9}, {WXK_DOWN, 9}, {WXK_UP, 5},
                                         {WXK_LEFT, 4}, {WXK_UP, 0}, {WXK_UP, 0},    {WXK_DOWN, 4}, {WXK_HOME, 0}};
    for (const auto& [key, selected] : moves) {
        gui_test::Key(key);
        EXPECT_EQ(Selection(), Indexes{selected}) << key;
    }
    gui_test::Key(WXK_RIGHT, wxMOD_SHIFT);
    gui_test::Key(WXK_DOWN, wxMOD_SHIFT);
    EXPECT_EQ(Selection(), (Indexes{0, 1, 2, 3, 4, 5}));
    TakeNotices();
    gui_test::Key(WXK_RETURN);
    EXPECT_EQ(TakeNotices(), (Notices{{"return", -1}}));  // Return names no item and changes nothing
    EXPECT_EQ(Selection().size(), 6u);
}

TEST_F(StripTest, SelectedAndFocusedCellsAreDrawnDifferentlyAndTheLastRowScrollsFullyIntoView) {
    AppendPictures(12);
    SetStripClientSize(88, 300);  // one per row: the strip scrolls
    Click(CellCentre(1));
    const wxPoint inside(4, 4);
    wxRect first, second, last;
    strip->GetItemRect(0, first);
    strip->GetItemRect(1, second);
    const wxImage shot = Shot();
    EXPECT_TRUE(gui_test::SameColour(shot, first.GetPosition() + inside, strip->m_unselectedColour));
    EXPECT_TRUE(gui_test::SameColour(shot, second.GetPosition() + inside, strip->m_focusedSelectionColour));
    FocusOther();
    EXPECT_TRUE(gui_test::SameColour(Shot(), second.GetPosition() + inside, strip->m_unfocusedSelectionColour));
    FocusStrip();
    gui_test::Key(WXK_END);
    strip->GetItemRect(11, last);
    EXPECT_TRUE(last.y >= 0 && last.GetBottom() <= 299) << last.y;
    EXPECT_TRUE(gui_test::SameColour(Shot(), last.GetPosition() + inside, strip->m_focusedSelectionColour));
    // Scrolled to the end by the scroll bar, whatever the height.
    for (int clientHeight : {151, 233, 298}) {
        SetStripClientSize(88, clientHeight);
        strip->Scroll(0, strip->GetScrollLines(wxVERTICAL));
        gui_test::Pump(20);
        strip->GetItemRect(11, last, true);
        EXPECT_TRUE(last.GetTop() >= 0 && last.GetBottom() < clientHeight) << clientHeight << ": " << last.y;
    }
}

TEST_F(StripTest, InsertAndDeleteKeepSelectionFocusAndAnchorOnTheirItems) {
    AppendPictures(5);
    strip->Select(2);
    strip->Select(4);
    strip->Insert(std::make_unique<wxImageThumbnailItem>(strip->GetItem(0)->m_path), 0);
    EXPECT_EQ(Selection(), (Indexes{3, 5}));
    strip->Delete(1);
    EXPECT_EQ(Selection(), (Indexes{2, 4}));
    strip->Delete(2);
    EXPECT_EQ(Selection(), Indexes{3});
    EXPECT_EQ(strip->GetCount(), 4);
    // Selecting sets the focus and the anchor as well; -1 where their item went.
    const struct {
        int selected, deleted, expected;
    } cases[] = {{4, 1, 3}, {5, 0, 4}, {2, 2, -1}, {2, 3, 2}, {0, 5, 0}};
    for (const auto& c : cases) {
        strip->Clear();
        EXPECT_TRUE(Selection().empty());
        AppendPictures(6);
        strip->Select(c.selected);
        strip->Delete(c.deleted);
        EXPECT_EQ(strip->m_focusItem, c.expected) << c.deleted;
        EXPECT_EQ(strip->m_anchorItem, c.expected) << c.deleted;
    }
    ExpectAssertions expect;
    wxRect rect;
    EXPECT_FALSE(strip->GetItemRect(6, rect));
    EXPECT_EQ(strip->GetItem(-1), nullptr);
    EXPECT_FALSE(expect.Recorded().empty());
}

TEST_F(StripTest, ThumbnailsShrinkToTheirBoxAndUnreadableFilesAreRefused) {
    const wxString folder = wxGetHomeDir();
    const std::pair<wxSize, wxSize> cases[] = {{{40, 30}, {40, 30}}, {{800, 200}, {80, 20}}, {{100, 400}, {20, 80}}};
    for (const auto& [size, thumbnail] : cases) {
        auto item = std::make_unique<wxImageThumbnailItem>(
            gui_test::WritePicture(folder + wxString::Format("/t%d.png", size.x), size.x, size.y));
        wxImageThumbnailItem* loaded = item.get();
        ASSERT_GE(strip->Append(std::move(item), 10), 0);
        EXPECT_EQ(loaded->m_thumbnail.GetSize(), thumbnail) << size.x;
    }
    wxFFile(folder + "/bad.png", "wb").Write(wxString("not a picture"));
    for (const wxString& path : {folder + "/bad.png", folder + "/missing.png", folder})
        EXPECT_EQ(strip->Append(std::make_unique<wxImageThumbnailItem>(path), 10), -1) << path;
    EXPECT_EQ(strip->GetCount(), 3);
}
