// The end of the strip can be scrolled fully into view, and Delete keeps the focus on the same item.
#include "tests/gui/thumbnail_strip_fixture.h"

namespace {

// The last cell's bottom edge in client coordinates, after scrolling as far down as the range allows.
int LastCellBottomAtTheEnd(wxThumbnailCtrl* strip) {
    strip->Scroll(0, strip->GetScrollLines(wxVERTICAL));
    gui_test::Pump(20);
    wxRect last;
    strip->GetItemRect(strip->GetCount() - 1, last, true);
    return last.GetBottom();
}

class StripScrollEndTest : public StripTest, public testing::WithParamInterface<int> {};

// Client heights that leave every remainder of the grid height against the 10-pixel units.
TEST_P(StripScrollEndTest, LastRowComesFullyIntoViewForAnyCount) {
    const int clientHeight = GetParam();
    SetStripClientSize(88, clientHeight);
    const wxString picture = Picture("p.png");
    for (int count = 1; count <= 8; ++count) {
        ASSERT_EQ(AppendFile(picture), count - 1);
        SCOPED_TRACE(testing::Message() << count << " frames in " << clientHeight << " px");
        EXPECT_LT(LastCellBottomAtTheEnd(strip), clientHeight);
        // The End key brings the last cell in as well.
        FocusStrip();
        strip->Select(0);
        strip->Scroll(0, 0);
        gui_test::Pump(20);
        Key(WXK_END);
        wxRect last;
        strip->GetItemRect(strip->GetCount() - 1, last, true);
        EXPECT_LT(last.GetBottom(), clientHeight);
        EXPECT_GE(last.GetTop(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(ClientHeights, StripScrollEndTest, testing::Values(151, 233, 298));

struct DeletedIndex {
    int selected;  // the item whose selection set the focus, anchor and last selection
    int deleted;
    int expected;  // where those indices point afterwards
};

class StripDeleteIndicesTest : public StripTest, public testing::WithParamInterface<DeletedIndex> {};

TEST_P(StripDeleteIndicesTest, IndicesFollowTheirItem) {
    AppendPictures(6);
    strip->Select(GetParam().selected);
    wxThumbnailItem* focused = strip->GetItem(GetParam().selected);
    strip->Delete(GetParam().deleted);
    EXPECT_EQ(strip->m_focusItem, GetParam().expected);
    EXPECT_EQ(strip->m_anchorItem, GetParam().expected);
    EXPECT_EQ(strip->m_lastSelected, GetParam().expected);
    if (GetParam().expected >= 0) {
        EXPECT_EQ(strip->GetItem(GetParam().expected), focused);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StripDeleteIndicesTest,
                         testing::Values(DeletedIndex{4, 1, 3}, DeletedIndex{5, 0, 4}, DeletedIndex{2, 2, -1},
                                         DeletedIndex{2, 3, 2}, DeletedIndex{0, 5, 0}));

}  // namespace
