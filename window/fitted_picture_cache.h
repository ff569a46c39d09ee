#pragma once
// Scaled copies of frames for the preview, so that a playing animation rescales each frame once per
// panel size instead of on every tick.

#include <wx/bitmap.h>

#include <cstddef>
#include <unordered_map>

class FittedPictureCache {
public:
    explicit FittedPictureCache(size_t budgetBytes = kDefaultBudget);

    // `source` rescaled to `size` (the toolkit's normal quality, as without a cache). Kept for the
    // next call while the budget allows; a full cache still answers, it only stops keeping.
    wxBitmap Get(const wxBitmap& source, const wxSize& size);

    // Forgets every copy (the panel changed size, or frames were removed).
    void Clear();

    size_t CachedCount() const { return m_entries.size(); }

    static constexpr size_t kDefaultBudget = 64u << 20;

private:
    struct Entry {
        wxBitmap source;  // held so that its data, the key, cannot be reused by another bitmap
        wxBitmap fitted;
    };

    static size_t BytesOf(const wxSize& size) { return static_cast<size_t>(size.x) * size.y * 4; }

    const size_t m_budget;
    size_t m_used = 0;
    std::unordered_map<const wxObjectRefData*, Entry> m_entries;
};
