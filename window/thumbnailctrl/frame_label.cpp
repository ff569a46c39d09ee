#include "window/thumbnailctrl/frame_label.h"

wxString FrameLabel(int index, int delay) {
    const float seconds = static_cast<float>(index) * (static_cast<float>(delay) / 100.0f);
    return wxString::Format("#%d  %.2fsec", index + 1, static_cast<double>(seconds));
}
