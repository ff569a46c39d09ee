#include "window/frame_picture_cache.h"

#include "window/preview_fit.h"
#include "window/thumbnailctrl/thumbnail_item.h"

#include <algorithm>

namespace {

PreviewKey KeyOf(const wxImageThumbnailItem& item, const wxSize& size, bool reduced) {
    return PreviewKey{item.m_path, item.m_stamp, size, reduced};
}

}  // namespace

FramePictureCache::FramePictureCache(size_t budgetBytes) : m_budget(budgetBytes) {}

FramePictureCache::Pictures FramePictureCache::Get(const wxImageThumbnailItem& item, const wxSize& size,
                                                   bool reduced) {
    const PreviewKey key = KeyOf(item, size, reduced);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->key == key) {
            m_entries.splice(m_entries.begin(), m_entries, it);
            return Pictures{it->shown, picture_intake::Outcome()};
        }
    }
    const PreparedPreview prepared = m_preparer.Take(key);
    if (!prepared.picture.IsOk())
        return Pictures{wxBitmap(), prepared.refusal};  // not kept: the next look may find the file back as it was
    Pictures pictures{wxBitmap(prepared.picture), picture_intake::Outcome()};
    const size_t bytes = size_t(size.x) * size.y * 4;
    while (!m_entries.empty() && m_used + bytes > m_budget) {
        m_used -= m_entries.back().bytes;
        m_entries.pop_back();
    }
    if (bytes <= m_budget) {
        m_entries.push_front(Entry{key, pictures.shown, bytes});
        m_used += bytes;
    }
    return pictures;
}

bool FramePictureCache::Cached(const PreviewKey& key) const {
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& entry) { return entry.key == key; });
}

void FramePictureCache::Prefetch(const std::vector<const wxImageThumbnailItem*>& items, const wxSize& panel) {
    std::vector<PreviewKey> keys;
    for (const wxImageThumbnailItem* item : items) {
        const wxRect place = preview_fit::Place(panel, item->m_pictureSize);
        if (place.IsEmpty())
            continue;
        PreviewKey key = KeyOf(*item, place.GetSize(), true);
        if (!Cached(key))
            keys.push_back(std::move(key));
    }
    m_preparer.Prefetch(std::move(keys));
}

void FramePictureCache::Clear() {
    m_entries.clear();
    m_used = 0;
}
