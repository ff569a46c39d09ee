// The frame strip as a person sees and uses it: where cells are drawn, what clicks and keys select, what
// it tells its parent, and what it refuses. The strip sits in a plain window of its own, beside a second
// window that can take the keyboard focus.
#include "tests/support/assertions.h"
#include "tests/support/gui_test.h"

#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

namespace {

using Notices = std::vector<std::pair<std::string, int>>;  // what the parent heard, and the item
using Indexes = std::vector<int>;

class StripTest : public testing::Test {
protected:
    void SetUp() override {
        window = new wxFrame(nullptr, wxID_ANY, "strip", wxPoint(0, 0), wxSize(700, 600));
        strip = new wxThumbnailCtrl(window, wxPoint(0, 0), wxSize(400, 500));
        strip->SetBackgroundColour(background);
        other = new wxTextCtrl(window, wxID_ANY, "", wxPoint(450, 10), wxSize(200, 30));
        // Bound on the parent window: the notifications must travel up like command events.
        for (const auto& [type, name] : {std::pair{wxEVT_COMMAND_THUMBNAIL_ITEM_SELECTED, "selected"},
                                         {wxEVT_COMMAND_THUMBNAIL_ITEM_DESELECTED, "deselected"},
                                         {wxEVT_COMMAND_THUMBNAIL_LEFT_CLICK, "left"},
                                         {wxEVT_COMMAND_THUMBNAIL_RIGHT_CLICK, "right"},
                                         {wxEVT_COMMAND_THUMBNAIL_RETURN, "return"}})
            window->Bind(wxEventTypeTag<wxThumbnailEvent>(type), [this, kind = name](wxThumbnailEvent& event) {
                EXPECT_EQ(event.GetEventObject(), strip);
                notices.emplace_back(kind, event.GetIndex());
            });
        window->Show();
        gui_test::PumpUntil([this] { return window->IsActive(); }, 2000);
        FocusOn(strip);
    }
    void TearDown() override {
        window->Destroy();
        gui_test::Pump(20);
    }

    void SetStripClientSize(int width, int height) {
        strip->SetClientSize(width, height);
        gui_test::PumpUntil([&] { return strip->GetClientSize() == wxSize(width, height); }, 1000);
        gui_test::Pump(30);
    }
    // `count` 40 x 30 pictures; the strip's paths stay apart only by name.
    void AppendPictures(int count) {
        for (int i = 0; i < count; ++i) {
            const wxString path = gui_test::WritePicture(test_files::Scratch(wxString::Format("f%d.png", i)), 40, 30);
            ASSERT_EQ(strip->Append(std::make_unique<wxImageThumbnailItem>(path), 10), i);
        }
    }
    wxPoint CellCentre(int index) {
        wxRect cell;
        EXPECT_TRUE(strip->GetItemRect(index, cell, true));
        return wxPoint(cell.x + cell.width / 2, cell.y + cell.height / 2);
    }
    void Click(const wxPoint& point, int button = wxMOUSE_BTN_LEFT, int modifiers = 0) {
        gui_test::Click(strip, point, button, modifiers);
    }
    void FocusOn(wxWindow* target) {
        // Without a window manager X sends keys to the window under the pointer.
        wxUIActionSimulator().MouseMove(strip->ClientToScreen(wxPoint(strip->GetClientSize().x - 2, 2)));
        target->SetFocus();
        gui_test::PumpUntil([target] { return wxWindow::FindFocus() == target; }, 1000);
    }
    Notices TakeNotices() { return std::exchange(notices, {}); }
    Indexes Selection() const { return {strip->m_selections.begin(), strip->m_selections.end()}; }
    wxImage Shot() {
        strip->Refresh();
        gui_test::Pump(100);
        return gui_test::Screenshot(strip);
    }

    const wxColour background{176, 223, 227};
    wxFrame* window = nullptr;
    wxThumbnailCtrl* strip = nullptr;
    wxTextCtrl* other = nullptr;
    Notices notices;
};

}  // namespace

TEST_F(StripTest, CellsAre86PixelsWideWithTwoTextLinesAndTileTheWidth) {
    AppendPictures(10);
    SetStripClientSize(440, 500);  // room for 4 cells and their gaps; a fifth would need 445
    wxClientDC dc(strip);
    dc.SetFont(strip->GetFont());
    const int cellHeight = 80 + 2 * dc.GetTextExtent("X").GetHeight() + 4 * 3;
    const wxImage shot = Shot();
    // Three rows of a 4-per-row grid: cell runs down a column, 3-pixel gaps between them.
    Indexes runs{0};
    for (int y = 0; y < shot.GetHeight(); ++y)
        if (!gui_test::SameColour(shot, {4, y}, background))
            ++runs.back();
        else if (runs.back() > 0)
            runs.push_back(0);
    EXPECT_EQ(runs, (Indexes{cellHeight, cellHeight, cellHeight, 0}));
    for (int x = 0; x < 440; ++x)  // cells at 3 + 89 * column, 86 pixels wide
        EXPECT_EQ(gui_test::SameColour(shot, {x, 10}, background), x < 3 || (x - 3) % 89 >= 86 || x >= 3 + 4 * 89) << x;
    // A click on the last pixel column of a cell selects it; one in a gap selects nothing.
    Click({3 + 89 + 85, 3 + cellHeight + 3 + 20});
    EXPECT_EQ(Selection(), Indexes{5});
    Click({3 + 89 + 87, 20});
    EXPECT_EQ(Selection(), Indexes{5});
}

TEST_F(StripTest, PlainCtrlAndShiftClicksSelectAndReportEveryChange) {
    AppendPictures(10);  // four per row in 400 pixels
    FocusOn(other);
    Click(CellCentre(2));
    EXPECT_EQ(wxWindow::FindFocus(), strip);
    EXPECT_EQ(TakeNotices(), (Notices{{"selected", 2}, {"left", 2}}));
    const struct {
        int item, button, modifiers;
        Indexes selected;
    } clicks[] = {
        {7, wxMOUSE_BTN_LEFT, wxMOD_CONTROL, {2, 7}},
        {2, wxMOUSE_BTN_LEFT, wxMOD_CONTROL, {7}},  // Ctrl toggles
        {9, wxMOUSE_BTN_LEFT, 0, {9}},
        {6, wxMOUSE_BTN_LEFT, wxMOD_SHIFT, {9, 8, 7, 6}},  // Shift spans from the anchor, the last item too,
        {8, wxMOUSE_BTN_LEFT, wxMOD_SHIFT, {9, 8}},        // and a second Shift click keeps the anchor
        {1, wxMOUSE_BTN_RIGHT, 0, {9, 8}},                 // the right button changes nothing
    };
    for (const auto& c : clicks) {
        Click(CellCentre(c.item), c.button, c.modifiers);
        EXPECT_EQ(Selection(), c.selected) << c.item;
    }
    TakeNotices();
    Click(CellCentre(5));
    EXPECT_EQ(TakeNotices(), (Notices{{"deselected", 9}, {"deselected", 8}, {"selected", 5}, {"left", 5}}));
    Click({399, 499});  // empty space changes nothing and tells nothing
    Click(CellCentre(1), wxMOUSE_BTN_RIGHT);
    EXPECT_EQ(TakeNotices(), (Notices{{"right", 1}}));
    EXPECT_EQ(Selection(), Indexes{5});
}

TEST_F(StripTest, KeysMoveTheSelectionWithinTheGridAndReturnIsReported) {
    AppendPictures(10);
    // Four per row; without a focus item the first key starts at item 0.
    const struct {
        int key, modifiers;
        Indexes selected;
    } moves[] = {{WXK_END, 0, {0}},  {WXK_END, 0, {9}}, {WXK_RIGHT, 0, {9}}, {WXK_DOWN, 0, {9}},
                 {WXK_UP, 0, {5}},   {WXK_LEFT, 0, {4}}, {WXK_UP, 0, {0}},   {WXK_UP, 0, {0}},
                 {WXK_DOWN, 0, {4}}, {WXK_HOME, 0, {0}}, {WXK_RIGHT, wxMOD_SHIFT, {0, 1}},
                 {WXK_DOWN, wxMOD_SHIFT, {0, 1, 2, 3, 4, 5}}, {WXK_RETURN, 0, {0, 1, 2, 3, 4, 5}}};
    for (const auto& m : moves) {
        gui_test::Key(m.key, m.modifiers);
        EXPECT_EQ(Selection(), m.selected) << m.key;
    }
    EXPECT_EQ(TakeNotices().back(), (std::pair<std::string, int>{"return", -1}));  // Return names no item
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
    FocusOn(other);
    EXPECT_TRUE(gui_test::SameColour(Shot(), second.GetPosition() + inside, strip->m_unfocusedSelectionColour));
    FocusOn(strip);
    gui_test::Key(WXK_END);
    strip->GetItemRect(11, last);
    EXPECT_TRUE(last.y >= 0 && last.GetBottom() <= 299) << last.y;
    EXPECT_TRUE(gui_test::SameColour(Shot(), last.GetPosition() + inside, strip->m_focusedSelectionColour));
    for (int clientHeight : {151, 233, 298}) {  // scrolled to the end by the scroll bar, whatever the height
        SetStripClientSize(88, clientHeight);
        strip->Scroll(0, strip->GetScrollLines(wxVERTICAL));
        gui_test::Pump(20);
        strip->GetItemRect(11, last, true);
        EXPECT_TRUE(last.GetTop() >= 0 && last.GetBottom() < clientHeight) << clientHeight << ": " << last.y;
    }
}

TEST_F(StripTest, InsertAndDeleteKeepSelectionFocusAndAnchorOnTheirItemsAndUnreadableFilesAreRefused) {
    AppendPictures(5);
    strip->Select(2);
    strip->Select(4);
    strip->Insert(std::make_unique<wxImageThumbnailItem>(strip->GetItem(0)->m_path), 0);
    EXPECT_EQ(Selection(), (Indexes{3, 5}));
    strip->Delete(1);
    EXPECT_EQ(Selection(), (Indexes{2, 4}));
    strip->Delete(2);
    EXPECT_EQ(Selection(), Indexes{3});
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
    test_files::Write(test_files::Scratch("bad.png"), "not a picture");
    for (const wxString& path : {test_files::Scratch("bad.png"), test_files::Scratch("missing.png"), test_files::Scratch()})
        EXPECT_EQ(strip->Append(std::make_unique<wxImageThumbnailItem>(path), 10), -1) << path;
    EXPECT_EQ(strip->GetCount(), 5);
    ExpectAssertions expect;
    wxRect rect;
    EXPECT_FALSE(strip->GetItemRect(6, rect));
    EXPECT_EQ(strip->GetItem(-1), nullptr);
    EXPECT_FALSE(expect.Recorded().empty());
}

// The paint handler looks only at the rows in view: every cell with a pixel in view is painted, wherever
// the strip is scrolled to.
TEST_F(StripTest, EveryCellInViewIsPaintedAtAnyScrollPosition) {
    AppendPictures(40);
    SetStripClientSize(180, 250);  // two a row, rows cut at the top and the bottom
    for (int unit : {0, 3, 7, 12, 26, 1000}) {
        strip->Scroll(0, unit);
        const wxImage shot = Shot();
        for (int i = 0; i < strip->GetCount(); ++i) {
            wxRect cell;
            strip->GetItemRect(i, cell, true);
            const wxRect seen = cell.Intersect(wxRect(shot.GetSize()));
            if (seen.IsEmpty())
                continue;
            // The first pixel row of the cell in view: bevel or fill, never the strip's background.
            const wxPoint probe(seen.x + seen.width / 2, seen.y + (seen.y > cell.y ? 0 : 4));
            EXPECT_FALSE(gui_test::SameColour(shot, probe, background)) << "cell " << i << " at unit " << unit;
        }
    }
}
