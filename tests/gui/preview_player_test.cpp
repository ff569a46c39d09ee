// The preview panel and the player: placement by pixels, the frame sequence, passes, keys, and the
// commands that stop it.
#include "tests/gui/frame_window_fixture.h"
#include "window/fitted_picture_cache.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/spinctrl.h>

namespace {

const std::vector<std::string> kTwoPasses{"red", "green", "blue", "red", "green", "blue"};

class PreviewPlayerTest : public FrameWindowTest {
protected:
    void SetPanelSize(const wxSize& size) {
        frame->m_panel2->SetSize(size);
        gui_test::PumpUntil([&] { return frame->m_panel2->GetSize() == size; }, 1000);
        ASSERT_EQ(frame->m_panel2->GetSize(), size);
    }
    void Show(int index) {
        frame->ShowFrame(dynamic_cast<wxImageThumbnailItem*>(frame->m_thumbnailCtrl->GetItem(index)));
    }
    wxColour Shown() {
        const wxImage preview = Preview();
        const wxPoint middle(preview.GetWidth() / 2, preview.GetHeight() / 2);
        return wxColour(preview.GetRed(middle.x, middle.y), preview.GetGreen(middle.x, middle.y),
                        preview.GetBlue(middle.x, middle.y));
    }
    // Three frames in red, green and blue.
    void AddColouredFrames() {
        AddFiles({Picture("r.png", 40, 30, *wxRED), Picture("g.png", 40, 30, *wxGREEN),
                  Picture("b.png", 40, 30, *wxBLUE)});
    }
    // The colour each tick shows until the player stops, at most `limit` ticks.
    std::vector<std::string> TickUntilStopped(int limit) {
        std::vector<std::string> shown;
        while (MyFrame::s_playing && static_cast<int>(shown.size()) < limit) {
            Tick();
            shown.push_back(Shown().GetAsString(wxC2S_NAME | wxC2S_CSS_SYNTAX).ToStdString());
        }
        return shown;
    }
    // Ticks come only from the test: the real timer would fire after 50 seconds.
    void SlowTimer() { frame->m_spinctrl_delay->SetValue(5000); }
};

// Checks the drawn rectangle of a red picture: inside red, one pixel outside the background.
void ExpectRedRectangle(const wxImage& shot, const wxRect& rect, const wxColour& background) {
    const wxRect client(shot.GetSize());
    const wxRect inside = rect.Intersect(client);
    const wxPoint middle(inside.x + inside.width / 2, inside.y + inside.height / 2);
    for (const wxPoint& corner :
         {inside.GetTopLeft(), inside.GetTopRight(), inside.GetBottomLeft(), inside.GetBottomRight(), middle})
        EXPECT_TRUE(SameColour(shot, corner, *wxRED)) << "inside";
    for (const wxPoint& outside : {wxPoint(rect.x - 1, rect.y), wxPoint(rect.x, rect.y - 1),
                                   wxPoint(rect.GetRight() + 1, rect.GetBottom()),
                                   wxPoint(rect.GetRight(), rect.GetBottom() + 1)}) {
        if (client.Contains(outside)) {
            EXPECT_TRUE(SameColour(shot, outside, background)) << "outside";
        }
    }
}

}  // namespace

TEST_F(PreviewPlayerTest, FramesAreFittedAndCentredAsTheScreenShowsThem) {
    AddFiles({Picture("big.png", 800, 600, *wxRED), Picture("small.png", 100, 50, *wxRED)});
    // Inserted into the strip, a missing file stays as a frame without a picture.
    frame->m_thumbnailCtrl->Insert(std::make_unique<wxImageThumbnailItem>(wxGetHomeDir() + "/missing.png"), 0);
    ASSERT_EQ(frame->m_thumbnailCtrl->GetCount(), 3);
    SetPanelSize(wxSize(400, 400));

    Show(1);
    ExpectRedRectangle(Preview(), wxRect(0, 50, 400, 300), PreviewBackground());
    // A repaint by the system shows the same picture again.
    frame->m_panel2->Refresh();
    ExpectRedRectangle(Preview(), wxRect(0, 50, 400, 300), PreviewBackground());

    Show(2);
    ExpectRedRectangle(Preview(), wxRect(150, 175, 100, 50), PreviewBackground());

    // A smaller panel refits the same frame instead of reusing the earlier copy.
    SetPanelSize(wxSize(200, 200));
    Show(1);
    ExpectRedRectangle(Preview(), wxRect(0, 25, 200, 150), PreviewBackground());

    // A frame without a picture leaves the panel empty.
    Show(0);
    EXPECT_EQ(Shown(), PreviewBackground());
}

TEST_F(PreviewPlayerTest, LoopCountTwoShowsEveryFrameTwiceAndStopsOnTheLast) {
    AddColouredFrames();
    frame->m_loopCount = 2;
    ExpectStopped();
    Run();
    ExpectPlaying();
    EXPECT_EQ(frame->m_timer.GetInterval(), 100);
    // Nothing is drawn at once: the first frame comes with the first tick, one delay later.
    EXPECT_EQ(Shown(), PreviewBackground());
    Run();

    SlowTimer();
    Run();
    EXPECT_EQ(TickUntilStopped(20), kTwoPasses);
    ExpectStopped();
    EXPECT_EQ(frame->m_loopsDone, 0);
    EXPECT_EQ(frame->m_frameIndex, 0);
    // The last frame stays shown.
    frame->m_panel2->Refresh();
    EXPECT_EQ(Shown(), *wxBLUE);

    // Loop count 0 plays until stopped.
    frame->m_loopCount = 0;
    Run();
    for (int i = 0; i < 40; ++i)
        Tick();
    ExpectPlaying();
    EXPECT_EQ(frame->m_loopsDone, 13);
    Run();
    ExpectStopped();
}

TEST_F(PreviewPlayerTest, StoppedByHandThePlayerKeepsItsPassesAndRestartsAtTheFirstFrame) {
    AddColouredFrames();
    SlowTimer();
    frame->m_loopCount = 3;
    Run();
    // A pass and a half.
    for (int i = 0; i < 5; ++i)
        Tick();
    EXPECT_EQ(frame->m_loopsDone, 1);
    EXPECT_EQ(frame->m_frameIndex, 2);
    Run();
    ExpectStopped();
    EXPECT_EQ(frame->m_frameIndex, 0);
    EXPECT_EQ(frame->m_loopsDone, 1);

    Run();
    EXPECT_EQ(TickUntilStopped(20), kTwoPasses);
    ExpectStopped();
}

TEST_F(PreviewPlayerTest, TheRealTimerPlaysAndStopsByItself) {
    AddColouredFrames();
    frame->m_spinctrl_delay->SetValue(2);
    frame->m_loopCount = 1;
    Run();
    EXPECT_EQ(frame->m_timer.GetInterval(), 20);
    EXPECT_TRUE(gui_test::PumpUntil([] { return !MyFrame::s_playing; }, 5000));
    ExpectStopped();
    EXPECT_EQ(Shown(), *wxBLUE);
}

TEST_F(PreviewPlayerTest, CtrlPRunsAndCtrlTStopsWhilePlaying) {
    AddColouredFrames();
    SlowTimer();
    PressKey('T', wxMOD_CONTROL);
    ExpectStopped();
    PressKey('P', wxMOD_CONTROL);
    ExpectPlaying();
    // The run shortcut is gone while playing; pressing it changes nothing.
    PressKey('P', wxMOD_CONTROL);
    ExpectPlaying();
    PressKey('T', wxMOD_CONTROL);
    ExpectStopped();
}

TEST_F(PreviewPlayerTest, ListCommandsStopThePlayerAndTheSettingsLeaveItRunning) {
    AddColouredFrames();
    SlowTimer();

    Run();
    TypeInto(frame->m_spinctrl_width, "20");
    TypeInto(frame->m_spinctrl_height, "10");
    TypeInto(frame->m_spinctrl_delay, "4000");
    ExpectPlaying();
    EXPECT_EQ(frame->m_timer.GetInterval(), 50000);  // the new delay counts from the next start

    // A rebuilt menu (a language change) says "Run animation", but the command follows the player.
    frame->BuildMenuBar();
    EXPECT_EQ(frame->m_menuItem_run->GetItemLabel(), "Run animation\tCtrl+P");
    EXPECT_EQ(RunToolPicture(), "stop");
    Run();
    ExpectStopped();

    Run();
    wxTEST_DIALOG(Command(&MyFrame::OnAddImage), wxExpectModal<wxFileDialog>("", wxID_CANCEL));
    ExpectStopped();

    Run();
    wxTEST_DIALOG(Command(&MyFrame::OnInsertImage), wxExpectModal<wxFileDialog>("", wxID_CANCEL));
    ExpectStopped();

    Run();
    frame->m_thumbnailCtrl->Select(1);
    wxTEST_DIALOG(Command(&MyFrame::OnDeleteImages), wxExpectModal<wxMessageDialog>(wxID_NO));
    ExpectStopped();

    Run();
    ClickFrame(2);
    ExpectStopped();
    EXPECT_EQ(Shown(), *wxBLUE);
    // The next run starts at the first frame, not at the clicked one.
    Run();
    Tick();
    EXPECT_EQ(Shown(), *wxRED);

    Command(&MyFrame::OnClearAll);
    ExpectStopped();
    // With no frames the run command does nothing.
    Run();
    ExpectStopped();
}

TEST(FittedPictureCache, KeepsOneCopyPerFrameAndSizeWithinItsBudget) {
    wxImage pattern(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            pattern.SetRGB(x, y, x * 4, y * 5, (x + y) % 256);
    const wxBitmap first(pattern), second(pattern.Mirror());

    // Exactly the picture an uncached rescale gives.
    // Two copies of 32 x 24 and the two frames they were made from.
    FittedPictureCache cache(2 * (32 * 24 + 64 * 48) * 4);
    const wxImage expected = first.ConvertToImage().Rescale(32, 24, wxIMAGE_QUALITY_NORMAL);
    const wxBitmap fitted = cache.Get(first, wxSize(32, 24));
    ASSERT_EQ(fitted.GetSize(), wxSize(32, 24));
    const wxImage got = fitted.ConvertToImage();
    EXPECT_EQ(0, memcmp(got.GetData(), expected.GetData(), 32 * 24 * 3));
    // The same frame again gives the kept copy itself.
    EXPECT_TRUE(cache.Get(first, wxSize(32, 24)).IsSameAs(fitted));
    EXPECT_EQ(cache.CachedCount(), 1u);

    // A copy of the bitmap shares its data and finds the same entry; another frame has its own.
    const wxBitmap shared = first;
    EXPECT_TRUE(cache.Get(shared, wxSize(32, 24)).IsSameAs(fitted));
    const wxBitmap other = cache.Get(second, wxSize(32, 24));
    EXPECT_FALSE(other.IsSameAs(fitted));
    EXPECT_EQ(cache.CachedCount(), 2u);

    // A new size replaces the frame's copy; beyond the budget copies are made but not kept.
    EXPECT_EQ(cache.Get(first, wxSize(16, 12)).GetSize(), wxSize(16, 12));
    EXPECT_EQ(cache.CachedCount(), 2u);
    const wxBitmap third(pattern.Rotate180());
    EXPECT_EQ(cache.Get(third, wxSize(40, 30)).GetSize(), wxSize(40, 30));
    EXPECT_EQ(cache.CachedCount(), 2u);

    cache.Clear();
    EXPECT_EQ(cache.CachedCount(), 0u);
}
