#pragma once
// Adds a batch of picture files to the window: they are read on worker threads while the window
// keeps handling its events (the strip scrolls, frames can be clicked), join in the order given as
// they become ready, and every refused file is named in one message afterwards.

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
// added before Cancel stay. Returns when the batch is done. One batch at a time: a batch given
// while another is read is not read at all (cancelled), since the two would mix their frames.
Summary Run(wxWindow* parent, const char* titleKey, const wxArrayString& paths, const wxSize& thumbnailBox,
            const AddFrame& add);

// Whether a batch is being read.
bool Busy();

// Stops the batch being read after the frame being added; the frames added stay.
void CancelBusy();

}  // namespace frame_intake
