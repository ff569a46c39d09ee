#include "window/thumbnailctrl/thumbnail_item_array.h"

#include "window/thumbnailctrl/thumbnail_check.h"

void wxThumbnailItemArray::Add(std::unique_ptr<wxThumbnailItem> item) {
    m_items.push_back(std::move(item));
    ++m_revision;
}

void wxThumbnailItemArray::Insert(std::unique_ptr<wxThumbnailItem> item, size_t index) {
    m_items.insert(m_items.begin() + index, std::move(item));
    ++m_revision;
}

void wxThumbnailItemArray::RemoveAt(size_t uiIndex) {
    wxTHUMBNAIL_CHECK_MSG(uiIndex < size(), , "wxThumbnailItemArray::RemoveAt",
                          "bad index in wxThumbnailItemArray::RemoveAt()");
    m_items.erase(m_items.begin() + uiIndex);
    ++m_revision;
}
