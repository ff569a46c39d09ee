// The frame strip as a person sees and uses it: where cells are drawn, what clicks and keys select, what
// it tells its parent, and what it refuses.
#include "tests/support/assertions.h"
#include "tests/support/strip_fixture.h"

#include <wx/dcclient.h>
#include <wx/ffile.h>

namespace {

using Notices = std::vector<StripNotice>;
StripNotice Selected(int i) { return {"selected", i}; }
StripNotice Deselected(int i) { return {"deselected", i}; }
StripNotice Left(int i) { return {"left", i}; }

// Lengths of the runs of cell pixels (anything but the strip's background) along a column of the screenshot.
std::vector<int> CellRuns(const wxImage& shot, int x, const wxColour& background) {
    std::vector<int> runs;
    int run = 0;
    for (int y = 0; y < shot.GetHeight(); ++y) {
        const bool cell = !gui_test::SameColour(shot, {x, y}, background);
        if (cell)
            ++run;
        if ((!cell || y + 1 == shot.GetHeight()) && run > 0) {
            runs.push_back(run);
            run = 0;
        }
    }
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
    EXPECT_EQ(CellRuns(shot, 4, background), (std::vector<int>{cellHeight, cellHeight, cellHeight}));
    EXPECT_TRUE(gui_test::SameColour(shot, {2, 10}, background));
    for (int column = 0; column < 4; ++column) {
        EXPECT_FALSE(gui_test::SameColour(shot, {3 + column * 89, 10}, background)) << column;
        EXPECT_FALSE(gui_test::SameColour(shot, {3 + column * 89 + 85, 10}, background)) << column;
        EXPECT_TRUE(gui_test::SameColour(shot, {3 + column * 89 + 87, 10}, background)) << column;
    }
    // A click on the last pixel column of a cell selects it; one in a gap selects nothing.
    Click({3 + 89 + 85, 3 + cellHeight + 3 + 20});
    EXPECT_EQ(Selection(), std::vector<int>{5});
    Click({3 + 89 + 87, 20});
    EXPECT_EQ(Selection(), std::vector<int>{5});
}

TEST_F(StripTest, PlainCtrlAndShiftClicksSelectAndReportEveryChange) {
    AppendPictures(10);  // four per row in 400 pixels
    FocusOther();
    Click(CellCentre(2));
    EXPECT_EQ(wxWindow::FindFocus(), strip);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(2), Left(2)}));
    Click(CellCentre(7), wxMOUSE_BTN_LEFT, wxMOD_CONTROL);
    EXPECT_EQ(Selection(), (std::vector<int>{2, 7}));
    Click(CellCentre(2), wxMOUSE_BTN_LEFT, wxMOD_CONTROL);  // Ctrl toggles
    EXPECT_EQ(Selection(), (std::vector<int>{7}));
    TakeNotices();
    Click(CellCentre(5));
    EXPECT_EQ(TakeNotices(), (Notices{Deselected(7), Selected(5), Left(5)}));

    // Shift spans from the anchor, also from the last item, and repeated Shift clicks keep the anchor.
    Click(CellCentre(9));
    Click(CellCentre(6), wxMOUSE_BTN_LEFT, wxMOD_SHIFT);
    EXPECT_EQ(Selection(), (std::vector<int>{9, 8, 7, 6}));
    Click(CellCentre(8), wxMOUSE_BTN_LEFT, wxMOD_SHIFT);
    EXPECT_EQ(Selection(), (std::vector<int>{9, 8}));
    TakeNotices();
    Click({399, 499});  // empty space and the right button change nothing but tell the parent
    Click(CellCentre(1), wxMOUSE_BTN_RIGHT);
    EXPECT_EQ(TakeNotices(), (Notices{{"right", 1}}));
    EXPECT_EQ(Selection(), (std::vector<int>{9, 8}));
}

TEST_F(StripTest, KeysMoveTheSelectionWithinTheGridAndReturnIsReported) {
    AppendPictures(10);
    // Four per row; without a focus item the first key starts at item 0.
    const std::pair<int, int> moves[] = {{WXK_END, 0}, {WXK_END, 9}, {WXK_RIGHT, 9}, {WXK_DOWN, 9}, {WXK_UP, 5},
                                         {WXK_LEFT, 4}, {WXK_UP, 0}, {WXK_UP, 0},    {WXK_DOWN, 4}, {WXK_HOME, 0}};
    for (const auto& [key, selected] : moves) {
        gui_test::Key(key);
        EXPECT_EQ(Selection(), std::vector<int>{selected}) << key;
    }
    gui_test::Key(WXK_RIGHT, wxMOD_SHIFT);
    gui_test::Key(WXK_DOWN, wxMOD_SHIFT);
    EXPECT_EQ(Selection(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    TakeNotices();
    gui_test::Key(WXK_RETURN);
    EXPECT_EQ(TakeNotices(), (Notices{{"return", -1}}));  // Return names no item and changes nothing
    EXPECT_EQ(Selection().size(), 6u);
}

TEST_F(StripTest, SelectedAndFocusedCellsAreDrawnDifferentlyAndScrolledCellsWhereTheyShow) {
    AppendPictures(12);
    SetStripClientSize(88, 300);  // one per row: the strip scrolls
    Click(CellCentre(1));
    const wxImage shot = Shot();
    wxRect first, second;
    strip->GetItemRect(0, first);
    strip->GetItemRect(1, second);
    const wxPoint inside(4, 4);
    EXPECT_TRUE(gui_test::SameColour(shot, first.GetPosition() + inside, strip->m_unselectedColour));
    EXPECT_TRUE(gui_test::SameColour(shot, second.GetPosition() + inside, strip->m_focusedSelectionColour));
    FocusOther();
    EXPECT_TRUE(gui_test::SameColour(Shot(), second.GetPosition() + inside, strip->m_unfocusedSelectionColour));

    FocusStrip();
    gui_test::Key(WXK_END);
    const wxImage scrolled = Shot();
    wxRect last;
    strip->GetItemRect(11, last);
    ASSERT_GE(last.y, 0);
    EXPECT_LE(last.GetBottom(), 299) << "the last cell is scrolled fully into view";
    EXPECT_TRUE(gui_test::SameColour(scrolled, last.GetPosition() + inside, strip->m_focusedSelectionColour));
}

TEST_F(StripTest, InsertDeleteAndClearKeepTheSelectionOnTheSameFrames) {
    AppendPictures(5);
    strip->Select(2);
    strip->Select(4);
    strip->Insert(std::make_unique<wxImageThumbnailItem>(strip->GetItem(0)->m_path), 0);
    EXPECT_EQ(Selection(), (std::vector<int>{3, 5}));
    strip->Delete(1);
    EXPECT_EQ(Selection(), (std::vector<int>{2, 4}));
    strip->Delete(2);
    EXPECT_EQ(Selection(), (std::vector<int>{3}));
    EXPECT_EQ(strip->GetCount(), 4);
    strip->Clear();
    EXPECT_EQ(strip->GetCount(), 0);
    EXPECT_TRUE(Selection().empty());
    {
        ExpectAssertions expect;
        wxRect rect;
        EXPECT_FALSE(strip->GetItemRect(0, rect));
        EXPECT_EQ(strip->GetItem(-1), nullptr);
        EXPECT_FALSE(expect.Recorded().empty());
    }
}

TEST_F(StripTest, ThumbnailsShrinkToTheirBoxAndUnreadableFilesAreRefused) {
    const wxString folder = wxGetHomeDir();
    const std::pair<wxSize, wxSize> cases[] = {{{40, 30}, {40, 30}}, {{800, 200}, {80, 20}}, {{100, 400}, {20, 80}}};
    for (const auto& [size, thumbnail] : cases) {
        const wxString path = gui_test::WritePicture(folder + wxString::Format("/t%d.png", size.x), size.x, size.y);
        auto item = std::make_unique<wxImageThumbnailItem>(path);
        wxImageThumbnailItem* loaded = item.get();
        ASSERT_GE(strip->Append(std::move(item), 10), 0);
        EXPECT_EQ(loaded->m_thumbnail.GetSize(), thumbnail) << size.x;
    }
    wxFFile(folder + "/bad.png", "wb").Write(wxString("not a picture"));
    for (const wxString& path : {folder + "/bad.png", folder + "/missing.png", folder})
        EXPECT_EQ(strip->Append(std::make_unique<wxImageThumbnailItem>(path), 10), -1) << path;
    EXPECT_EQ(strip->GetCount(), 3);
}

TEST_F(StripTest, TheLastRowScrollsFullyIntoViewWhateverTheHeight) {
    for (int clientHeight : {151, 233, 298}) {
        SetStripClientSize(88, clientHeight);
        strip->Clear();
        AppendPictures(8);
        strip->Scroll(0, strip->GetScrollLines(wxVERTICAL));
        gui_test::Pump(20);
        wxRect last;
        strip->GetItemRect(7, last, true);
        EXPECT_LT(last.GetBottom(), clientHeight);
        EXPECT_GE(last.GetTop(), 0);
    }
}

TEST_F(StripTest, DeleteKeepsTheFocusAndAnchorOnTheirItem) {
    const struct {
        int selected, deleted, expected;
    } cases[] = {{4, 1, 3}, {5, 0, 4}, {2, 2, -1}, {2, 3, 2}, {0, 5, 0}};
    for (const auto& c : cases) {
        strip->Clear();
        AppendPictures(6);
        strip->Select(c.selected);  // sets the focus and the anchor as well
        strip->Delete(c.deleted);
        EXPECT_EQ(strip->m_focusItem, c.expected) << c.deleted;
        EXPECT_EQ(strip->m_anchorItem, c.expected) << c.deleted;
    }
}
