#include "window/frame_picture_cache.h"

#include "window/my_gifhandler/palette_image.h"
#include "window/thumbnailctrl/thumbnail_item.h"

FramePictureCache::FramePictureCache(size_t budgetBytes) : m_budget(budgetBytes) {}

FramePictureCache::Pictures FramePictureCache::Get(const wxImageThumbnailItem& item) {
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->path == item.m_path && it->stamp == item.m_stamp) {
            m_entries.splice(m_entries.begin(), m_entries, it);
            return it->pictures;
        }
    }
    Pictures pictures;
    const picture_intake::Outcome outcome = item.ReadPicture();
    if (!outcome.Taken()) {
        pictures.refusal = outcome;
        return pictures;  // not kept: the next look may find the file back as it was
    }
    pictures.picture = wxBitmap(outcome.picture);
    pictures.reduced = wxBitmap(ConvertToPaletteImage(outcome.picture));
    // Two bitmaps of four bytes a pixel.
    const size_t bytes = size_t(outcome.picture.GetWidth()) * outcome.picture.GetHeight() * 8;
    while (!m_entries.empty() && m_used + bytes > m_budget) {
        m_used -= m_entries.back().bytes;
        m_entries.pop_back();
    }
    if (bytes <= m_budget) {
        m_entries.push_front(Entry{item.m_path, item.m_stamp, pictures, bytes});
        m_used += bytes;
    }
    return pictures;
}

void FramePictureCache::Clear() {
    m_entries.clear();
    m_used = 0;
}
