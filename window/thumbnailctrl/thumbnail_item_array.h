#pragma once
// The strip's items in frame order; the array owns them, sharing that with the window's Undo history,
// which keeps removed items for taking a change back.

#include "window/thumbnailctrl/thumbnail_item.h"

#include <cstddef>
#include <memory>
#include <vector>

class wxThumbnailItemArray {
public:
    size_t size() const { return m_items.size(); }
    size_t GetCount() const { return m_items.size(); }
    bool IsEmpty() const { return m_items.empty(); }
    wxThumbnailItem* Item(size_t index) const { return m_items[index].get(); }
    wxThumbnailItem* operator[](size_t index) const { return Item(index); }

    void Add(std::unique_ptr<wxThumbnailItem> item);
    // Inserts before `index` (0 ... size()).
    void Insert(std::unique_ptr<wxThumbnailItem> item, size_t index);
    // Destroys the item at `uiIndex` and closes the gap.
    void RemoveAt(size_t uiIndex);
    // Destroys every item.
    void Clear() {
        m_items.clear();
        ++m_revision;
    }

    const std::vector<std::shared_ptr<wxThumbnailItem>>& Shared() const { return m_items; }
    void Assign(std::vector<std::shared_ptr<wxThumbnailItem>> items) {
        m_items = std::move(items);
        ++m_revision;
    }
    // Changes with every change of the list: equal revisions, same items in the same order.
    size_t Revision() const { return m_revision; }

private:
    std::vector<std::shared_ptr<wxThumbnailItem>> m_items;
    size_t m_revision = 0;
};
