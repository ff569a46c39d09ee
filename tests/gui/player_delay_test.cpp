// The preview plays each delay as a web browser plays the exported file.
#include "tests/gui/frame_window_fixture.h"

#include <wx/spinctrl.h>

namespace {

struct PlayedInterval {
    int delay;       // hundredths, as set in the window
    int intervalMs;  // the timer's interval while playing
};

class PlayerDelayTest : public FrameWindowTest, public testing::WithParamInterface<PlayedInterval> {};

TEST_P(PlayerDelayTest, TimerRunsAtTheIntervalViewersSee) {
    AddPictures(2);
    frame->m_spinctrl_delay->SetValue(GetParam().delay);
    Run();
    ASSERT_TRUE(frame->m_timer.IsRunning());
    EXPECT_EQ(frame->m_timer.GetInterval(), GetParam().intervalMs);
    Run();
    EXPECT_FALSE(frame->m_timer.IsRunning());
}

INSTANTIATE_TEST_SUITE_P(Delays, PlayerDelayTest,
                         testing::Values(PlayedInterval{0, 100}, PlayedInterval{1, 100}, PlayedInterval{2, 20},
                                         PlayedInterval{10, 100}, PlayedInterval{65535, 655350}));

}  // namespace
