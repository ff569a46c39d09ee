#include "picture/frame_preview.h"

#include "window/my_gifhandler/palette_image.h"

#include <algorithm>
#include <new>

wxImage MakePreviewPicture(const wxImage& picture, const wxSize& size, bool reduced) {
    if (!picture.IsOk() || size.x <= 0 || size.y <= 0)
        return wxImage();
    const wxImage scaled = picture.GetSize() == size ? picture : picture.Scale(size.x, size.y, wxIMAGE_QUALITY_NORMAL);
    return reduced ? ConvertToPaletteImage(scaled) : scaled;
}

PreparedPreview PreparePreview(const PreviewKey& key) {
    PreparedPreview prepared;
    try {
        picture_intake::Outcome outcome = picture_intake::ReadUnchanged(key.path, key.stamp);
        if (outcome.Taken())
            prepared.picture = MakePreviewPicture(outcome.picture, key.size, key.reduced);
        outcome.picture = wxImage();
        prepared.refusal = outcome;
    } catch (const std::bad_alloc&) {
        prepared = PreparedPreview();
        prepared.refusal.refusal = picture_intake::Refusal::Damaged;
    }
    return prepared;
}

PreviewPreparer::PreviewPreparer() : m_worker([this] { Work(); }) {}

PreviewPreparer::~PreviewPreparer() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

void PreviewPreparer::Prefetch(std::vector<PreviewKey> keys) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_waiting.assign(std::make_move_iterator(keys.begin()), std::make_move_iterator(keys.end()));
    }
    m_wake.notify_all();
}

PreparedPreview PreviewPreparer::Take(const PreviewKey& key) {
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_waiting.erase(std::remove(m_waiting.begin(), m_waiting.end(), key), m_waiting.end());
        m_finished.wait(lock, [&] { return !(m_preparing && *m_preparing == key); });
        const auto ready = std::find_if(m_ready.begin(), m_ready.end(), [&](const auto& entry) { return entry.first == key; });
        if (ready != m_ready.end()) {
            // Moved out whole: the toolkit's reference counts are not atomic, so no image is shared
            // between threads.
            PreparedPreview prepared = std::move(ready->second);
            m_ready.erase(ready);
            return prepared;
        }
    }
    return PreparePreview(key);
}

size_t PreviewPreparer::WaitingCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_waiting.size() + (m_preparing ? 1 : 0);
}

size_t PreviewPreparer::ReadyCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ready.size();
}

void PreviewPreparer::Work() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_stopping)
            return;
        PreviewKey key = std::move(m_waiting.front());
        m_waiting.pop_front();
        if (std::any_of(m_ready.begin(), m_ready.end(), [&](const auto& entry) { return entry.first == key; }))
            continue;
        m_preparing = key;
        lock.unlock();
        PreparedPreview prepared = PreparePreview(key);
        lock.lock();
        m_ready.emplace_back(std::move(key), std::move(prepared));
        if (m_ready.size() > kMaxReady)
            m_ready.pop_front();
        m_preparing.reset();
        m_finished.notify_all();
    }
}
