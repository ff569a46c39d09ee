#include "picture/frame_loader.h"

#include "window/my_gifhandler/palette_image.h"

#include <algorithm>
#include <new>

IndexedPicture MakeThumbnail(const wxImage& picture, const wxSize& box) {
    if (!picture.IsOk())
        return {};
    const double rx = static_cast<double>(box.x) / picture.GetWidth();
    const double ry = static_cast<double>(box.y) / picture.GetHeight();
    wxImage scaled = picture;
    if (rx < 1 || ry < 1) {
        const double s = std::min(rx, ry);
        const int width = std::max(1, static_cast<int>(picture.GetWidth() * s));
        const int height = std::max(1, static_cast<int>(picture.GetHeight() * s));
        scaled = picture.Scale(width, height, wxIMAGE_QUALITY_NORMAL);
    }
    // Reducing the small copy costs next to nothing; reducing the full picture first cost more
    // than decoding it.
    return IndexedPicture::FromImage(ConvertToPaletteImage(scaled));
}

FrameLoader::FrameLoader(std::vector<wxString> paths, const wxSize& thumbnailBox, unsigned threads)
    : m_paths(std::move(paths)),
      m_box(thumbnailBox),
      // Finished frames hold only their thumbnails, so many may wait for the GUI thread: small pictures
      // are then not held back between its visits.
      m_lookAhead(std::max<size_t>(64, 4 * size_t(threads ? threads : std::thread::hardware_concurrency()))) {
    const unsigned count = threads ? threads : std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < count && i < m_paths.size(); ++i)
        m_workers.emplace_back([this] { Work(); });
}

FrameLoader::~FrameLoader() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_progress.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

std::optional<LoadedFrame> FrameLoader::TakeNext(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_taken == m_paths.size())
        return std::nullopt;
    if (!m_ready.wait_for(lock, wait, [this] { return m_done.count(m_taken) > 0; }))
        return std::nullopt;
    auto it = m_done.find(m_taken);
    LoadedFrame frame = std::move(it->second);
    m_done.erase(it);
    ++m_taken;
    m_progress.notify_all();
    return frame;
}

void FrameLoader::Work() {
    for (;;) {
        size_t index = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            // Never far ahead of the taker, so waiting thumbnails stay few.
            m_progress.wait(lock, [this] { return m_stopping || m_claimed < m_taken + m_lookAhead; });
            if (m_stopping || m_claimed == m_paths.size())
                return;
            index = m_claimed++;
        }
        LoadedFrame frame;
        frame.path = m_paths[index];
        // Every image made here dies here or is moved out whole: the toolkit's reference counts are
        // not atomic.
        try {
            frame.outcome = picture_intake::Read(frame.path);
            if (frame.outcome.Taken())
                frame.thumbnail = MakeThumbnail(frame.outcome.picture, m_box);
        } catch (const std::bad_alloc&) {
            frame.outcome = picture_intake::Outcome();
            frame.outcome.refusal = picture_intake::Refusal::Damaged;
            frame.thumbnail = IndexedPicture();
        }
        frame.outcome.picture = wxImage();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done.emplace(index, std::move(frame));
        }
        m_ready.notify_all();
    }
}
