#include "window/fitted_picture_cache.h"

#include <wx/image.h>

FittedPictureCache::FittedPictureCache(size_t budgetBytes) : m_budget(budgetBytes) {}

wxBitmap FittedPictureCache::Get(const wxBitmap& source, const wxSize& size) {
    const auto found = m_entries.find(source.GetRefData());
    if (found != m_entries.end() && found->second.fitted.GetSize() == size)
        return found->second.fitted;

    const wxBitmap fitted(source.ConvertToImage().Rescale(size.x, size.y, wxIMAGE_QUALITY_NORMAL));
    if (found != m_entries.end()) {
        m_used -= BytesOf(found->second.fitted.GetSize()) + BytesOf(source.GetSize());
        m_entries.erase(found);
    }
    // The kept source counts too: frames are read on demand, so the entry may be all that holds it.
    const size_t bytes = BytesOf(size) + BytesOf(source.GetSize());
    if (m_used + bytes <= m_budget) {
        m_entries.emplace(source.GetRefData(), Entry{source, fitted});
        m_used += bytes;
    }
    return fitted;
}

void FittedPictureCache::Clear() {
    m_entries.clear();
    m_used = 0;
}
