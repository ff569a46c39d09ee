// Keyboard navigation: every key, its edges, modifiers, Return and the keys the strip leaves alone.
#include "tests/gui/thumbnail_strip_fixture.h"

namespace {

using Notices = std::vector<StripNotice>;

StripNotice Selected(int index) { return {"selected", index, 0}; }
StripNotice Deselected(int index) { return {"deselected", index, 0}; }

}  // namespace

class StripKeyboardTest : public StripTest {
protected:
    // Ten items, three per row, two whole rows per page.
    void SetUp() override {
        StripTest::SetUp();
        AppendPictures(10);
        const int step = strip->m_itemHeight + 3;
        SetStripClientSize(3 * 89, 2 * step + step / 2);
        wxRect third;
        strip->GetItemRect(3, third, false);
        ASSERT_EQ(third.y, 3 + step) << "three per row";
        FocusStrip();
    }

    // Presses the key and returns the focus item it leads to; each move must report exactly the old
    // item's deselection and the new one's selection.
    void ExpectMove(int keyCode, int from, int to) {
        ASSERT_EQ(strip->m_focusItem, from);
        Key(keyCode);
        EXPECT_EQ(strip->m_focusItem, to) << "key " << keyCode << " from " << from;
        EXPECT_EQ(TakeNotices(), (Notices{Deselected(from), Selected(to)})) << "key " << keyCode;
        EXPECT_EQ(Selection(), std::vector<int>{to});
    }

    void ExpectStay(int keyCode, int at) {
        Key(keyCode);
        EXPECT_EQ(strip->m_focusItem, at) << "key " << keyCode;
        EXPECT_TRUE(TakeNotices().empty()) << "key " << keyCode;
        EXPECT_EQ(Selection(), std::vector<int>{at});
    }
};

TEST_F(StripKeyboardTest, EveryNavigationKeyAndItsEdges) {
    // Without a focus item any navigation key starts at item 0.
    Key(WXK_END);
    EXPECT_EQ(strip->m_focusItem, 0);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(0)}));

    ExpectStay(WXK_LEFT, 0);
    ExpectStay(WXK_UP, 0);
    // Home and End have no edge: on the item they lead to they select it again.
    Key(WXK_HOME);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(0)}));
    ExpectMove(WXK_RIGHT, 0, 1);
    ExpectStay(WXK_UP, 1);
    ExpectMove(WXK_PAGEDOWN, 1, 7);
    ExpectStay(WXK_DOWN, 7);  // 7 + 3 is past the end
    ExpectMove(WXK_PAGEUP, 7, 1);
    ExpectMove(WXK_DOWN, 1, 4);
    ExpectMove(WXK_RIGHT, 4, 5);
    ExpectMove(WXK_PAGEDOWN, 5, 9);  // 5 + 6 clamped to the last item
    ExpectStay(WXK_RIGHT, 9);
    ExpectStay(WXK_DOWN, 9);
    Key(WXK_END);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(9)}));
    ExpectMove(WXK_LEFT, 9, 8);
    ExpectMove(WXK_UP, 8, 5);
    ExpectMove(WXK_LEFT, 5, 4);
    ExpectMove(WXK_PAGEUP, 4, 0);  // 4 - 6 clamped to the first item
    ExpectMove(WXK_END, 0, 9);
    ExpectMove(WXK_HOME, 9, 0);

    // Clearing forgets the focus: the next key starts at item 0 again.
    strip->Select(6);
    strip->Clear();
    Key(WXK_DOWN);
    EXPECT_TRUE(TakeNotices().empty());
    EXPECT_FALSE(strip->NavigateByKey(WXK_DOWN, 0));
    AppendPictures(2);
    Key(WXK_PAGEUP);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(0)}));
}

TEST_F(StripKeyboardTest, ModifiersReturnAndOtherKeys) {
    Key(WXK_HOME);
    TakeNotices();
    // Shift extends from the anchor, which stays.
    Key(WXK_DOWN, wxMOD_SHIFT);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(0), Selected(1), Selected(2), Selected(3)}));
    Key(WXK_RIGHT, wxMOD_SHIFT);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(0), Selected(1), Selected(2), Selected(3), Selected(4)}));
    EXPECT_EQ(Selection(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(strip->m_anchorItem, 0);
    EXPECT_EQ(strip->m_focusItem, 4);
    // Ctrl toggles the target.
    Key(WXK_RIGHT, wxMOD_CONTROL);
    EXPECT_EQ(TakeNotices(), (Notices{Selected(5)}));
    Key(WXK_LEFT, wxMOD_CONTROL);
    EXPECT_EQ(TakeNotices(), (Notices{Deselected(4)}));
    EXPECT_EQ(Selection(), (std::vector<int>{0, 1, 2, 3, 5}));

    // Return reports index -1 with the modifiers and changes nothing.
    Key(WXK_RETURN);
    Key(WXK_RETURN, wxMOD_SHIFT);
    EXPECT_EQ(TakeNotices(), (Notices{{"return", -1, 0}, {"return", -1, wxTHUMBNAIL_SHIFT_DOWN}}));
    EXPECT_EQ(Selection(), (std::vector<int>{0, 1, 2, 3, 5}));
    EXPECT_EQ(strip->m_focusItem, 4);

    // Other keys go on to the toolkit; Tab moves the keyboard focus on.
    Key('a');
    Key(WXK_SPACE);
    Key(WXK_DELETE);
    EXPECT_TRUE(TakeNotices().empty());
    EXPECT_EQ(strip->m_focusItem, 4);
    Key(WXK_TAB);
    EXPECT_EQ(wxWindow::FindFocus(), other);
}
