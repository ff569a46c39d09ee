#pragma once
// How long the preview shows a frame: as viewers of the exported GIF will see it.

namespace played_delay {

// Web browsers show frames of 0 and 1 hundredths for 10 hundredths; the preview does the same, and a
// delay of 0 no longer makes the timer fire as fast as it can.
int Hundredths(int delay);

}  // namespace played_delay
