// Selection by mouse: plain, Ctrl and Shift clicks with their exact notification sequences, the other
// buttons, the single-selection style and Select All.
#include "tests/gui/thumbnail_strip_fixture.h"
#include "tests/support/assertions.h"

namespace {

using Notices = std::vector<StripNotice>;

StripNotice Selected(int index) { return {"selected", index, 0}; }
StripNotice Deselected(int index) { return {"deselected", index, 0}; }
StripNotice Left(int index, int flags = 0) { return {"left", index, flags}; }

}  // namespace

TEST_F(StripTest, PlainAndCtrlClicksReportEveryChangedItem) {
    AppendPictures(10);  // four per row in 400 pixels
    FocusOther();
    Click(CellCentre(2));
    EXPECT_EQ(wxWindow::FindFocus(), strip) << "a click takes the keyboard focus";
    EXPECT_EQ(TakeNotices(), (Notices{Selected(2), Left(2)}));
    Click(CellCentre(7), wxMOUSE_BTN_LEFT, wxMOD_CONTROL);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(7), Left(7, wxTHUMBNAIL_CTRL_DOWN)}));
    EXPECT_EQ(Selection(), (std::vector<int>{2, 7}));

    // Plain click on 5 while 2 and 7 are selected.
    Click(CellCentre(5));
    EXPECT_EQ(TakeNotices(), (Notices{Deselected(2), Deselected(7), Selected(5), Left(5)}));
    EXPECT_EQ(Selection(), std::vector<int>{5});
    // Again on the only selection: one selection event. (Elsewhere in the cell, or it is a double click.)
    Click(CellCentre(5) + wxPoint(15, 15));
    EXPECT_EQ(TakeNotices(), (Notices{Selected(5), Left(5)}));

    // Ctrl click on a selected item deselects it; it still becomes the focus and the anchor.
    Click(CellCentre(3));
    TakeNotices();
    Click(CellCentre(5), wxMOUSE_BTN_LEFT, wxMOD_CONTROL);
    Click(CellCentre(3), wxMOUSE_BTN_LEFT, wxMOD_CONTROL);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(5), Left(5, wxTHUMBNAIL_CTRL_DOWN), Deselected(3),
                                      Left(3, wxTHUMBNAIL_CTRL_DOWN)}));
    EXPECT_EQ(Selection(), std::vector<int>{5});
    EXPECT_EQ(strip->m_focusItem, 3);
    EXPECT_EQ(strip->m_anchorItem, 3);
    EXPECT_EQ(strip->m_lastSelected, 3);
}

TEST_F(StripTest, ShiftClicksSpanFromTheAnchor) {
    AppendPictures(10);
    Click(CellCentre(2));
    TakeNotices();
    Click(CellCentre(6), wxMOUSE_BTN_LEFT, wxMOD_SHIFT);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(2), Selected(3), Selected(4), Selected(5), Selected(6),
                                      Left(6, wxTHUMBNAIL_SHIFT_DOWN)}));
    EXPECT_EQ(Selection(), (std::vector<int>{2, 3, 4, 5, 6}));
    EXPECT_EQ(strip->m_anchorItem, 2);
    EXPECT_EQ(strip->m_focusItem, 6);

    // Back past the anchor: 3 ... 6 drop out without deselection events; the anchor stays.
    Click(CellCentre(0), wxMOUSE_BTN_LEFT, wxMOD_SHIFT);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(2), Selected(1), Selected(0), Left(0, wxTHUMBNAIL_SHIFT_DOWN)}));
    EXPECT_EQ(Selection(), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(strip->m_anchorItem, 2);

    // Ctrl wins over Shift.
    Click(CellCentre(8), wxMOUSE_BTN_LEFT, wxMOD_SHIFT | wxMOD_CONTROL);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(8), Left(8, wxTHUMBNAIL_SHIFT_DOWN | wxTHUMBNAIL_CTRL_DOWN)}));
    EXPECT_EQ(Selection(), (std::vector<int>{2, 1, 0, 8}));

    // Appending forgets the anchor: a Shift click then selects only the clicked item.
    AppendFile(Picture("late.png"));
    Click(CellCentre(4), wxMOUSE_BTN_LEFT, wxMOD_SHIFT);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(4), Left(4, wxTHUMBNAIL_SHIFT_DOWN)}));
    EXPECT_EQ(Selection(), std::vector<int>{4});
    EXPECT_EQ(strip->m_anchorItem, 4);
}

TEST_F(StripTest, EmptySpaceOtherButtonsAndDoubleClicks) {
    AppendPictures(6);  // rows of four: 0-3 and 4, 5
    Click(CellCentre(0));
    TakeNotices();
    const int ih = strip->m_itemHeight;

    // Below the last item, in the gap between two cells, right of the last column: no item.
    FocusOther();
    Click(wxPoint(40, 3 + 2 * (ih + 3) + 20));
    EXPECT_EQ(wxWindow::FindFocus(), strip);
    Click(wxPoint(3 + 86 + 1, 40));
    Click(wxPoint(3 + 4 * 89 + 10, 40));
    Click(wxPoint(3 + 2 * 89 + 10, 3 + ih + 3 + 40));  // where a third cell of the second row would be
    EXPECT_TRUE(TakeNotices().empty());
    EXPECT_EQ(Selection(), std::vector<int>{0});
    EXPECT_EQ(strip->m_focusItem, 0);

    // Right click on an unselected item moves only the focus mark.
    FocusOther();
    Click(CellCentre(5), wxMOUSE_BTN_RIGHT);
    EXPECT_EQ(TakeNotices(), (Notices{{"right", 5, 0}}));
    EXPECT_EQ(wxWindow::FindFocus(), strip);
    EXPECT_EQ(strip->m_focusItem, 5);
    EXPECT_EQ(strip->m_anchorItem, 0);
    EXPECT_EQ(Selection(), std::vector<int>{0});
    Click(CellCentre(1), wxMOUSE_BTN_RIGHT, wxMOD_SHIFT);
    EXPECT_EQ(TakeNotices(), (Notices{{"right", 1, wxTHUMBNAIL_SHIFT_DOWN}}));

    // The middle button takes no focus and changes nothing.
    FocusOther();
    Click(CellCentre(2), wxMOUSE_BTN_MIDDLE);
    EXPECT_EQ(TakeNotices(), (Notices{{"middle", 2, 0}}));
    EXPECT_EQ(wxWindow::FindFocus(), other);
    EXPECT_EQ(strip->m_focusItem, 1);
    EXPECT_EQ(Selection(), std::vector<int>{0});

    // A double click: its first press selects, the second reports the double click.
    DoubleClick(CellCentre(3));
    const Notices notices = TakeNotices();
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.front(), Deselected(0));
    EXPECT_EQ(notices.back(), (StripNotice{"dclick", 3, 0}));
    EXPECT_EQ(std::count(notices.begin(), notices.end(), StripNotice{"dclick", 3, 0}), 1);
    EXPECT_EQ(Selection(), std::vector<int>{3});
}

TEST_F(StripTest, SingleSelectionStyleTreatsModifiersAsPlainClicks) {
    AppendPictures(8);
    strip->ToggleWindowStyle(wxTHUMBNAIL_MULTIPLE_SELECT);
    Click(CellCentre(1));
    TakeNotices();
    Click(CellCentre(3), wxMOUSE_BTN_LEFT, wxMOD_CONTROL);
    EXPECT_EQ(TakeNotices(), (Notices{Deselected(1), Selected(3), Left(3, wxTHUMBNAIL_CTRL_DOWN)}));
    Click(CellCentre(6), wxMOUSE_BTN_LEFT, wxMOD_SHIFT);
    EXPECT_EQ(TakeNotices(), (Notices{Deselected(3), Selected(6), Left(6, wxTHUMBNAIL_SHIFT_DOWN)}));
    EXPECT_EQ(Selection(), std::vector<int>{6});
    Key(WXK_LEFT, wxMOD_SHIFT);
    EXPECT_EQ(TakeNotices(), (Notices{Deselected(6), Selected(5)}));
    EXPECT_EQ(Selection(), std::vector<int>{5});
}

TEST_F(StripTest, SelectAllCommandAndDirectSelection) {
    const auto selectAllEnabled = [this] {
        wxUpdateUIEvent update(wxID_SELECTALL);
        update.SetEventObject(strip);
        strip->ProcessWindowEvent(update);
        return update.GetEnabled();
    };
    const auto selectAll = [this] {
        wxCommandEvent command(wxEVT_MENU, wxID_SELECTALL);
        command.SetEventObject(strip);
        strip->ProcessWindowEvent(command);
    };
    EXPECT_FALSE(selectAllEnabled());
    selectAll();
    EXPECT_TRUE(Selection().empty());
    EXPECT_EQ(strip->m_focusItem, -1);

    AppendPictures(5);
    EXPECT_TRUE(selectAllEnabled());
    Click(CellCentre(3));
    TakeNotices();
    selectAll();
    EXPECT_EQ(Selection(), (std::vector<int>{3, 0, 1, 2, 4}));
    EXPECT_EQ(strip->m_focusItem, 4);
    EXPECT_EQ(strip->m_freezeCount, 0);
    EXPECT_TRUE(TakeNotices().empty()) << "Select All sends no selection events";

    // Select and SetFocusItem send nothing and check their index.
    strip->Select(3, false);
    EXPECT_EQ(Selection(), (std::vector<int>{0, 1, 2, 4}));
    EXPECT_EQ(strip->m_focusItem, 3);
    EXPECT_EQ(strip->m_anchorItem, 3);
    strip->SetFocusItem(1);
    EXPECT_EQ(strip->m_focusItem, 1);
    EXPECT_EQ(strip->m_anchorItem, 3);
    strip->SetFocusItem(-1);
    EXPECT_EQ(strip->m_focusItem, -1);
    EXPECT_TRUE(TakeNotices().empty());
    ExpectAssertions expect;
    strip->Select(5);
    strip->SetFocusItem(5);
    EXPECT_EQ(Selection(), (std::vector<int>{0, 1, 2, 4}));
    EXPECT_EQ(strip->m_focusItem, -1);
    ASSERT_EQ(expect.Recorded().size(), 2u);
    EXPECT_EQ(expect.Recorded()[0].condition, "n < GetCount()");
    EXPECT_EQ(expect.Recorded()[0].function, "wxThumbnailCtrl::Select");
    EXPECT_EQ(expect.Recorded()[1].condition, "item < GetCount()");
    EXPECT_EQ(expect.Recorded()[1].function, "wxThumbnailCtrl::SetFocusItem");
}
