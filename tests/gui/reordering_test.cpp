// Reordering frames and taking changes back in the main window, through real mouse drags, keys and menus.
#include "tests/support/gui_test.h"

#include <wx/uiaction.h>

namespace {

using Names = std::vector<std::string>;

class ReorderingTest : public MainWindowTest {
protected:
    // Presses the left button at `from` and moves in steps to `to`, leaving the button down.
    void PressAndMove(const wxPoint& from, const wxPoint& to) {
        for (int step = 0; step <= 6; ++step) {
            m_input.MouseMove(Strip()->ClientToScreen(from + (to - from) * step / 6));
            gui_test::Pump(30);
            if (step == 0)
                m_input.MouseDown();
        }
        gui_test::Pump(100);
    }
    void Release() {
        m_input.MouseUp();
        gui_test::Pump(150);
    }
    wxString UndoLabel() const { return frame->m_menuItem_undo->GetItemLabel(); }

    wxUIActionSimulator m_input;
};

}  // namespace

TEST_F(ReorderingTest, DraggingTheSelectionDropsItAsABlockWithAMarkWhileDragging) {
    AddPictures(std::vector<wxSize>(6, {40, 30}));
    Strip()->Select(0);
    Strip()->Select(1);

    PressAndMove(InCell(1), InCell(4, 0.8));
    EXPECT_EQ(Strip()->GetDropPosition(), 5);
    EXPECT_EQ(Selection(), (std::vector<int>{0, 1})) << "pressing inside the selection keeps it for the drag";
    const wxPoint mark = InCell(5, 0) - wxPoint(2, 0);
    EXPECT_TRUE(gui_test::SameColour(gui_test::Screenshot(Strip()), mark, *wxBLACK));
    Release();
    EXPECT_EQ(FrameNames(), (Names{"p3.png", "p4.png", "p5.png", "p1.png", "p2.png", "p6.png"}));
    EXPECT_EQ(Selection(), (std::vector<int>{3, 4}));
    EXPECT_FALSE(gui_test::SameColour(gui_test::Screenshot(Strip()), mark, *wxBLACK)) << "the mark goes with the drop";
    // A press inside the selection that does not move is a plain click after all.
    ClickFrame(4);
    EXPECT_EQ(Selection(), (std::vector<int>{4}));
    Command(&MyFrame::OnUndo);
    EXPECT_EQ(FrameNames(), (Names{"p1.png", "p2.png", "p3.png", "p4.png", "p5.png", "p6.png"})) << "a drop is one step";
}

TEST_F(ReorderingTest, DraggingNearTheBottomEdgeScrollsTheStrip) {
    AddPictures(std::vector<wxSize>(60, {40, 30}));
    const wxSize client = Strip()->GetClientSize();
    ASSERT_GT(Strip()->GetVirtualSize().y, client.y + 200) << "the strip must scroll for this test";
    ClickFrame(0);
    PressAndMove(InCell(0), {InCell(0).x, client.y - 6});
    ASSERT_TRUE(gui_test::PumpUntil([this] { return Strip()->GetViewStart().y >= 15; }, 5000))
        << "view start " << Strip()->GetViewStart().y;
    const int target = Strip()->GetDropPosition();
    Release();
    ASSERT_GT(target, 10);
    EXPECT_EQ(FrameNames()[target - 1], "p1.png");
    EXPECT_EQ(Selection(), (std::vector<int>{target - 1}));
}

TEST_F(ReorderingTest, KeysMoveFramesAndTakeTheMovesBackAndForth) {
    AddPictures(std::vector<wxSize>(4, {40, 30}));
    const struct {
        int click, key, modifiers;  // click -1: none, the keys go to the strip under the pointer
        const char *order, *undo;
        std::vector<int> selected;
    } steps[] = {
        {0, WXK_LEFT, wxMOD_ALT, "1234", "Undo Add\tCtrl+Z", {0}}, {0, WXK_RIGHT, wxMOD_ALT, "2134", "Undo Move\tCtrl+Z", {1}},
        {3, WXK_RIGHT, wxMOD_ALT, "2134", "Undo Move\tCtrl+Z", {3}}, {3, WXK_LEFT, wxMOD_ALT, "2143", "Undo Move\tCtrl+Z", {2}},
        {-1, 'Z', wxMOD_CONTROL, "2134", "Undo Move\tCtrl+Z", {3}}, {-1, 'Z', wxMOD_CONTROL, "1234", "Undo Add\tCtrl+Z", {0}},
        {-1, 'Z', wxMOD_CONTROL | wxMOD_SHIFT, "2134", "Undo Move\tCtrl+Z", {1}},
        {-1, 'Y', wxMOD_CONTROL, "2143", "Undo Move\tCtrl+Z", {2}}};
    for (const auto& s : steps) {
        if (s.click >= 0)
            ClickFrame(s.click);
        gui_test::Key(s.key, s.modifiers);
        std::string order;
        for (const std::string& name : FrameNames())
            order += name.substr(1, 1);
        EXPECT_EQ(order, s.order) << s.undo;
        EXPECT_EQ(Selection(), s.selected) << s.order;
        EXPECT_EQ(UndoLabel(), s.undo) << s.order;
    }
    for (int i = 0; i < 3; ++i)
        Command(&MyFrame::OnUndo);
    EXPECT_EQ(FrameCommandsEnabled(), 0) << "everything taken back";
    EXPECT_EQ(frame->m_menuItem_redo->GetItemLabel(), "Redo Add\tCtrl+Shift+Z");
}

TEST_F(ReorderingTest, TypedValuesAreUndoneStepByStepBackToTheSavedProjectThatClosesWithoutAsking) {
    AddPictures({{40, 30}, {40, 30}});
    wxTEST_DIALOG(Command(&MyFrame::OnSaveProject), gui_test::ExpectFile(Folder() + "/anim.xml"));
    Strip()->Select(1);
    Command(&MyFrame::OnDuplicate);
    EXPECT_EQ(FrameNames(), (Names{"p1.png", "p2.png", "p2.png"}));
    gui_test::TypeInto(frame->m_spinctrl_width, "20");
    gui_test::TypeInto(frame->m_spinctrl_delay, "25");
    EXPECT_EQ(UndoLabel(), "Undo Delay\tCtrl+Z");
    Command(&MyFrame::OnUndo);
    EXPECT_EQ(frame->m_spinctrl_delay->GetValue(), 10);
    wxTEST_DIALOG(EXPECT_FALSE(frame->Close()), wxExpectModal<wxMessageDialog>(wxID_CANCEL));
    Command(&MyFrame::OnUndo);
    EXPECT_EQ(OutputSize(), wxSize(40, 30));
    wxTEST_DIALOG(Command(&MyFrame::OnOpenProject), wxExpectModal<wxMessageDialog>(wxID_NO),
                  gui_test::ExpectFile(Folder() + "/anim.xml"));
    EXPECT_FALSE(frame->m_menuItem_undo->IsEnabled()) << "an opened project starts a history of its own";
    Command(&MyFrame::OnReverse);
    Command(&MyFrame::OnUndo);
    EXPECT_TRUE(frame->Close());
}
