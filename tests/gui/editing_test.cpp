// Working on the frames in the main window: adding, deleting, the output size, the frame click and the
// preview player, through the commands and real input.
#include "tests/support/gui_test.h"

#include <wx/panel.h>

using EditingTest = MainWindowTest;

TEST_F(EditingTest, AddingSetsTheSizeFromThePicturesATypedSideKeepsTheProportionAndDeletingAsksFirst) {
    AddPictures({{320, 240}, {100, 50}, {200, 300}, {40, 30}});
    // The first picture larger than all before it in either direction decides: 200 x 300.
    EXPECT_EQ(OutputSize(), wxSize(200, 300));
    EXPECT_EQ(Status(0), "Untitled.gif (200 * 300)px");

    ClickFrame(2);
    ClickFrame(3, wxMOUSE_BTN_LEFT, wxMOD_CONTROL);
    wxTEST_DIALOG(Command(&MyFrame::OnDeleteImages), wxExpectModal<wxMessageDialog>(wxID_NO));
    EXPECT_EQ(Count(), 4);
    wxTEST_DIALOG(Command(&MyFrame::OnDeleteImages), wxExpectModal<wxMessageDialog>(wxID_YES));
    EXPECT_EQ(FrameNames(), (std::vector<std::string>{"p1.png", "p2.png"}));
    EXPECT_EQ(OutputSize(), wxSize(320, 240));  // found again from what is left

    gui_test::TypeInto(frame->m_spinctrl_height, "100");
    EXPECT_EQ(OutputSize(), wxSize(133, 100));  // had the width answered back, the height would be 99
    gui_test::TypeInto(frame->m_spinctrl_delay, "25");
    EXPECT_EQ(Strip()->m_delay, 25);
    Command(&MyFrame::OnClearAll);
    EXPECT_EQ(FrameCommandsEnabled(), 0);
    EXPECT_EQ(Status(0), "");
}

TEST_F(EditingTest, AClickShowsTheFrameAndThePlayerShowsEveryFrameForEachPassAtTheExportedPace) {
    AddFiles({gui_test::WritePicture(Folder() + "/r.png", 40, 30, *wxRED),
              gui_test::WritePicture(Folder() + "/g.png", 40, 30, *wxGREEN),
              gui_test::WritePicture(Folder() + "/b.png", 40, 30, *wxBLUE)});
    const auto previewColour = [this] {  // the colour in the middle of the preview panel as the screen shows it
        gui_test::Pump(30);
        const wxImage preview = gui_test::Screenshot(frame->m_panel2);
        const int x = preview.GetWidth() / 2, y = preview.GetHeight() / 2;
        return wxColour(preview.GetRed(x, y), preview.GetGreen(x, y), preview.GetBlue(x, y));
    };
    ClickFrame(1);
    EXPECT_EQ(previewColour(), *wxGREEN);
    // Delays in hundredths as browsers play them: below 2 they show 100 ms.
    for (const auto& [delay, intervalMs] : {std::pair{0, 100}, {1, 100}, {2, 20}, {10, 100}, {65535, 655350}}) {
        frame->m_spinctrl_delay->SetValue(delay);
        Command(&MyFrame::OnRunAnimation);
        EXPECT_EQ(frame->m_timer.GetInterval(), intervalMs) << delay;
        Command(&MyFrame::OnRunAnimation);  // stops, or the next start would not
    }
    frame->m_spinctrl_delay->SetValue(5000);  // the real timer stays out of the way; ticks are driven here
    frame->m_loopCount = 2;
    gui_test::Key('P', wxMOD_CONTROL);
    std::vector<wxColour> shown;
    wxTimerEvent tick(frame->m_timer);
    while (frame->m_timer.IsRunning() && shown.size() < 20) {
        frame->OnTimer(tick);
        shown.push_back(previewColour());
    }
    EXPECT_EQ(shown, (std::vector<wxColour>{*wxRED, *wxGREEN, *wxBLUE, *wxRED, *wxGREEN, *wxBLUE}));
    EXPECT_EQ(frame->m_menuItem_run->GetItemLabel(), "Run animation\tCtrl+P");

    frame->m_loopCount = 0;  // until stopped
    Command(&MyFrame::OnRunAnimation);
    for (int i = 0; i < 40; ++i)
        frame->OnTimer(tick);
    EXPECT_TRUE(frame->m_timer.IsRunning());
    Command(&MyFrame::OnClearAll);  // list commands stop the player
    EXPECT_FALSE(frame->m_timer.IsRunning());
}
