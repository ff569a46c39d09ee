#pragma once
// Frames as the preview panel shows them, kept within a memory budget and prepared ahead of need:
// the strip holds only thumbnails, and no full-size picture is kept for any frame.

#include "picture/frame_preview.h"

#include <wx/bitmap.h>

#include <cstddef>
#include <list>
#include <vector>

class wxImageThumbnailItem;

class FramePictureCache {
public:
    struct Pictures {
        wxBitmap shown;                   // the frame at the size asked for
        picture_intake::Outcome refusal;  // why there is none: the file changed, vanished, ...
    };

    explicit FramePictureCache(size_t budgetBytes = kDefaultBudget);

    // The item's picture at `size` (reduced to 256 colours, or in its own colours), from the cache,
    // prepared in advance, or read now. The newest stay while the budget allows.
    Pictures Get(const wxImageThumbnailItem& item, const wxSize& size, bool reduced = true);

    // The frames probably shown next, prepared meanwhile on a thread of their own.
    void Prefetch(const std::vector<const wxImageThumbnailItem*>& items, const wxSize& panel);

    void Clear();

    size_t CachedCount() const { return m_entries.size(); }

    // Thirty frames fitted to a 1920x1080 screen's panel.
    static constexpr size_t kDefaultBudget = 64u << 20;

private:
    struct Entry {
        PreviewKey key;
        wxBitmap shown;
        size_t bytes;
    };

    bool Cached(const PreviewKey& key) const;

    const size_t m_budget;
    size_t m_used = 0;
    std::list<Entry> m_entries;  // most recently used first
    PreviewPreparer m_preparer;
};
