#pragma once
// Reads a batch of picture files on worker threads and hands each frame back in the order given:
// its size, its file's stamp and a thumbnail, or the refusal. The full picture is not kept.

#include "picture/indexed_picture.h"
#include "picture/picture_intake.h"

#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/string.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

struct LoadedFrame {
    wxString path;
    picture_intake::Outcome outcome;  // refusal, size and stamp; the picture itself is dropped
    IndexedPicture thumbnail;         // empty when refused
};

// The thumbnail of a picture: scaled down to fit the box (never enlarged, at least one pixel each
// way), then reduced to 256 colours as the export reduces the picture.
IndexedPicture MakeThumbnail(const wxImage& picture, const wxSize& box);

class FrameLoader {
public:
    // `threads` 0: one per core.
    FrameLoader(std::vector<wxString> paths, const wxSize& thumbnailBox, unsigned threads = 0);
    ~FrameLoader();  // stops the workers; frames not taken are dropped
    FrameLoader(const FrameLoader&) = delete;
    FrameLoader& operator=(const FrameLoader&) = delete;

    size_t Count() const { return m_paths.size(); }
    size_t Taken() const { return m_taken; }

    // The next frame in order once it is ready, waiting at most `wait`; nothing when it is not
    // ready yet or every frame has been taken.
    std::optional<LoadedFrame> TakeNext(std::chrono::milliseconds wait);

private:
    void Work();

    const std::vector<wxString> m_paths;
    const wxSize m_box;
    const size_t m_lookAhead;
    std::mutex m_mutex;
    std::condition_variable m_ready;     // a frame finished
    std::condition_variable m_progress;  // a frame was taken, or stopping
    std::map<size_t, LoadedFrame> m_done;
    size_t m_claimed = 0;
    size_t m_taken = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};
