#pragma once
// Full-size pictures of frames, made when a frame is shown and kept within a memory budget: the strip
// itself holds only thumbnails, so memory does not grow with full-size pixels per frame.

#include "picture/picture_intake.h"

#include <wx/bitmap.h>

#include <cstddef>
#include <list>

class wxImageThumbnailItem;

class FramePictureCache {
public:
    struct Pictures {
        wxBitmap picture;                // exactly as the file holds it
        wxBitmap reduced;                // reduced to 256 colours, as the export writes it
        picture_intake::Outcome refusal; // why there are none: the file changed, vanished, ...
    };

    explicit FramePictureCache(size_t budgetBytes = kDefaultBudget);

    // The item's pictures, from the cache or read now. The newest stay while the budget allows.
    Pictures Get(const wxImageThumbnailItem& item);

    void Clear();

    size_t CachedCount() const { return m_entries.size(); }

    // Seven 1920x1080 frames: the click on a recent frame answers at once.
    static constexpr size_t kDefaultBudget = 128u << 20;

private:
    struct Entry {
        wxString path;
        picture_intake::FileStamp stamp;
        Pictures pictures;
        size_t bytes;
    };

    const size_t m_budget;
    size_t m_used = 0;
    std::list<Entry> m_entries;  // most recently used first
};
