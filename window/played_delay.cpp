#include "window/played_delay.h"

namespace played_delay {

namespace {
constexpr int kFastestShown = 1;  // delays up to this are stretched
constexpr int kStretched = 10;
}  // namespace

int Hundredths(int delay) { return delay <= kFastestShown ? kStretched : delay; }

}  // namespace played_delay
