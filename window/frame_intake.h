#pragma once
// Adds a batch of picture files to the window: they are read on worker threads while the window
// keeps repainting, join in the order given as they become ready, and every refused file is named
// in one message afterwards.

#include "picture/frame_loader.h"

#include <wx/arrstr.h>
#include <wx/gdicmn.h>

#include <functional>

class wxWindow;

namespace frame_intake {

// Called on the GUI thread with each readable frame, in order.
using AddFrame = std::function<void(const LoadedFrame& frame)>;

struct Summary {
    size_t added = 0;
    size_t refused = 0;
    bool cancelled = false;  // the rest of the batch was not read
};

// Beyond a handful of files a progress dialog counts the frames and offers Cancel; the frames
// added before Cancel stay.
Summary Run(wxWindow* parent, const char* titleKey, const wxArrayString& paths, const wxSize& thumbnailBox,
            const AddFrame& add);

}  // namespace frame_intake
