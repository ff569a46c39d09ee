// The frame strip as a person sees and uses it: where cells are drawn, what clicks and keys select, what
// it tells its parent, and what it refuses. The strip sits in a plain window of its own, beside a second
// window that can take the keyboard focus.
#include "tests/support/assertions.h"
#include "tests/support/gui_test.h"

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
    // Where a cell is in the strip's client area, as it is scrolled now.
    wxRect Cell(int index) {
        wxRect cell;
        EXPECT_TRUE(strip->GetItemRect(index, cell));
        return cell;
    }
    wxPoint CellCentre(int index) { return Cell(index).GetPosition() + Cell(index).GetSize() / 2; }
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
    const int cellHeight = 80 + 2 * strip->GetTextExtent("X").GetHeight() + 4 * 3;
    const wxImage shot = Shot();
    // Three rows of a 4-per-row grid: cells at 3 + (height + 3) * row down a column, nothing below them.
    for (int y = 0; y < 500; ++y)
        EXPECT_EQ(gui_test::SameColour(shot, {4, y}, background),
                  y < 3 || (y - 3) % (cellHeight + 3) >= cellHeight || y >= 3 + 3 * (cellHeight + 3)) << y;
    for (int x = 0; x < 440; ++x)  // cells at 3 + 89 * column, 86 pixels wide
        EXPECT_EQ(gui_test::SameColour(shot, {x, 10}, background), x < 3 || (x - 3) % 89 >= 86 || x >= 3 + 4 * 89) << x;
    // A click on the last pixel column of a cell selects it; one in a gap selects nothing.
    gui_test::Click(strip, {3 + 89 + 85, 3 + cellHeight + 3 + 20});
    EXPECT_EQ(Selection(), Indexes{5});
    gui_test::Click(strip, {3 + 89 + 87, 20});
    EXPECT_EQ(Selection(), Indexes{5});
}

TEST_F(StripTest, PlainCtrlAndShiftClicksSelectAndReportEveryChange) {
    AppendPictures(10);  // four per row in 400 pixels
    FocusOn(other);
    gui_test::Click(strip, CellCentre(2));
    EXPECT_EQ(wxWindow::FindFocus(), strip);
    EXPECT_EQ(TakeNotices(), (Notices{{"selected", 2}, {"left", 2}}));
    // Ctrl toggles; Shift spans from the anchor, the last item too, and a second Shift click keeps the anchor.
    const std::tuple<int, int, Indexes> clicks[] = {{7, wxMOD_CONTROL, {2, 7}}, {2, wxMOD_CONTROL, {7}}, {9, 0, {9}},
                                                    {6, wxMOD_SHIFT, {9, 8, 7, 6}}, {8, wxMOD_SHIFT, {9, 8}}};
    for (const auto& [item, modifiers, selected] : clicks) {
        gui_test::Click(strip, CellCentre(item), wxMOUSE_BTN_LEFT, modifiers);
        EXPECT_EQ(Selection(), selected) << item;
    }
    TakeNotices();
    gui_test::Click(strip, CellCentre(5));
    EXPECT_EQ(TakeNotices(), (Notices{{"deselected", 9}, {"deselected", 8}, {"selected", 5}, {"left", 5}}));
    gui_test::Click(strip, {399, 499});  // empty space changes nothing and tells nothing
    gui_test::Click(strip, CellCentre(1), wxMOUSE_BTN_RIGHT);  // the right button tells, and changes nothing
    EXPECT_EQ(TakeNotices(), (Notices{{"right", 1}}));
    EXPECT_EQ(Selection(), Indexes{5});
}

TEST_F(StripTest, KeysMoveTheSelectionWithinTheGridAndReturnIsReported) {
    AppendPictures(10);
    // Four per row; without a focus item the first key starts at item 0.
    const std::tuple<int, int, Indexes> moves[] = {
        {WXK_END, 0, {0}}, {WXK_END, 0, {9}}, {WXK_RIGHT, 0, {9}}, {WXK_DOWN, 0, {9}}, {WXK_UP, 0, {5}}, {WXK_LEFT, 0, {4}},
        {WXK_UP, 0, {0}}, {WXK_UP, 0, {0}}, {WXK_DOWN, 0, {4}}, {WXK_HOME, 0, {0}}, {WXK_RIGHT, wxMOD_SHIFT, {0, 1}},
        {WXK_DOWN, wxMOD_SHIFT, {0, 1, 2, 3, 4, 5}}, {WXK_RETURN, 0, {0, 1, 2, 3, 4, 5}}};
    for (const auto& [key, modifiers, selected] : moves) {
        gui_test::Key(key, modifiers);
        EXPECT_EQ(Selection(), selected) << key;
    }
    EXPECT_EQ(TakeNotices().back(), (std::pair<std::string, int>{"return", -1}));  // Return names no item
}

// The paint handler looks only at the rows in view: every cell with a pixel in view is painted, wherever
// the strip is scrolled to, and the scroll bar reaches the whole last row whatever the height.
TEST_F(StripTest, CellsAreDrawnByTheirStateAndEveryCellInViewIsPaintedAtAnyScrollPosition) {
    AppendPictures(40);
    SetStripClientSize(180, 300);  // two a row: the strip scrolls
    gui_test::Click(strip, CellCentre(1));
    const wxPoint inside(4, 4);
    const wxImage shot = Shot();
    EXPECT_TRUE(gui_test::SameColour(shot, Cell(0).GetPosition() + inside, strip->m_unselectedColour));
    EXPECT_TRUE(gui_test::SameColour(shot, Cell(1).GetPosition() + inside, strip->m_focusedSelectionColour));
    FocusOn(other);
    EXPECT_TRUE(gui_test::SameColour(Shot(), Cell(1).GetPosition() + inside, strip->m_unfocusedSelectionColour));
    FocusOn(strip);
    gui_test::Key(WXK_END);
    EXPECT_TRUE(gui_test::SameColour(Shot(), Cell(39).GetPosition() + inside, strip->m_focusedSelectionColour));
    for (int clientHeight : {151, 233, 298}) {  // rows cut at the top and the bottom
        SetStripClientSize(180, clientHeight);
        for (int unit : {0, 3, 7, 12, 26, 1000}) {
            strip->Scroll(0, unit);
            const wxImage shot = Shot();
            for (int i = 0; i < strip->GetCount(); ++i) {
                const wxRect cell = Cell(i), seen = cell.Intersect(wxRect(shot.GetSize()));
                // The first pixel row of the cell in view: bevel or fill, never the strip's background.
                const wxPoint probe(seen.x + seen.width / 2, seen.y + (seen.y > cell.y ? 0 : 4));
                EXPECT_TRUE(seen.IsEmpty() || !gui_test::SameColour(shot, probe, background)) << "cell " << i << " at unit " << unit;
            }
        }
        // Scrolled as far as the bar goes.
        EXPECT_TRUE(Cell(39).GetTop() >= 0 && Cell(39).GetBottom() < clientHeight) << clientHeight << ": " << Cell(39).y;
    }
}

TEST_F(StripTest, InsertAndDeleteKeepSelectionFocusAndAnchorOnTheirItemsAndUnreadableFilesAreRefused) {
    // Selecting sets the focus and the anchor as well. The item selected, the one deleted, and where all three
    // are then (-1: their item went).
    const std::tuple<int, int, int> cases[] = {{4, 1, 3}, {5, 0, 4}, {2, 2, -1}, {2, 3, 2}, {0, 5, 0}};
    for (const auto& [selected, deleted, expected] : cases) {
        strip->Clear();
        AppendPictures(6);
        strip->Select(selected);
        strip->Delete(deleted);
        EXPECT_EQ(std::tuple(Selection(), strip->m_focusItem, strip->m_anchorItem),
                  std::tuple(expected < 0 ? Indexes{} : Indexes{expected}, expected, expected)) << deleted;
    }
    strip->Insert(std::make_unique<wxImageThumbnailItem>(strip->GetItem(0)->m_path), 0);
    EXPECT_EQ(Selection(), Indexes{1});
    test_files::Write(test_files::Scratch("bad.png"), "not a picture");
    for (const wxString& path : {test_files::Scratch("bad.png"), test_files::Scratch("missing.png"), test_files::Scratch()})
        EXPECT_EQ(strip->Append(std::make_unique<wxImageThumbnailItem>(path), 10), -1) << path;
    EXPECT_EQ(strip->GetCount(), 6);
    ExpectAssertions expect;
    wxRect rect;
    EXPECT_FALSE(strip->GetItemRect(6, rect));
}

