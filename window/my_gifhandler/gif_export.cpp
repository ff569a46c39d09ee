#include "window/my_gifhandler/gif_export.h"

#include "app/replacing_file.h"
#include "window/my_gifhandler/frame_composition.h"
#include "window/my_gifhandler/my_gif_handler.h"
#include "window/my_gifhandler/palette_image.h"

#include <wx/intl.h>
#include <wx/log.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <new>
#include <mutex>
#include <thread>
#include <vector>

namespace gif_export {

namespace {

std::unique_ptr<wxImage> Unshared(wxImage picture) {
    if (picture.IsOk() && picture.GetRefData()->GetRefCount() > 1)
        picture = picture.Copy();
    return std::make_unique<wxImage>(picture);
}

// Reads, composes and reduces frames on worker threads; hands them back in any order by index.
class FramePipeline {
public:
    FramePipeline(const FrameSource& source, int width, int height, unsigned threads)
        : m_source(source), m_width(width), m_height(height) {
        for (unsigned i = 0; i < threads; ++i)
            m_workers.emplace_back([this] { Work(); });
    }

    ~FramePipeline() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        for (std::thread& worker : m_workers)
            worker.join();
    }

    void Submit(size_t index) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_jobs.push_back({index, nullptr});
        }
        m_wake.notify_one();
    }

    // Waits for the palette image of frame `index`.
    std::unique_ptr<wxImage> Take(size_t index) {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            for (auto it = m_done.begin(); it != m_done.end(); ++it) {
                if (it->index == index) {
                    std::unique_ptr<wxImage> frame = std::move(it->image);
                    m_done.erase(it);
                    return frame;
                }
            }
            m_finished.wait(lock);
        }
    }

private:
    struct Job {
        size_t index;
        std::unique_ptr<wxImage> image;
    };

    void Work() {
        for (;;) {
            Job job;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
                if (m_stopping)
                    return;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            // Every image of this frame lives and dies on this thread before the result is
            // published: the toolkit's reference counts are not atomic.
            try {
                job.image = Unshared(m_source(job.index));
                *job.image = ConvertToPaletteImage(ComposeExportFrame(*job.image, m_width, m_height));
            } catch (const std::bad_alloc&) {
                // no palette: the writer refuses the frame with a reason
                job.image = std::make_unique<wxImage>();
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_done.push_back(std::move(job));
            }
            m_finished.notify_all();
        }
    }

    const FrameSource& m_source;
    const int m_width;
    const int m_height;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_finished;
    std::deque<Job> m_jobs;
    std::vector<Job> m_done;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

// Writes every frame in order; false with a reason on failure or cancel.
bool WriteFrames(const Request& request, const FrameSource& source, const Progress& progress,
                 wxOutputStream& stream, Result& result, const ReplacingFile& file) {
    const unsigned threads = request.threads ? request.threads : std::max(1u, std::thread::hardware_concurrency());
    // One frame per worker and one more in flight, so no worker waits while the oldest frame is
    // written; memory stays bounded whatever the frame count.
    const size_t lookAhead = size_t(threads) + 1;
    FramePipeline pipeline(source, request.width, request.height, threads);
    MyGifHandler handler;
    size_t submitted = 0;
    for (size_t written = 0; written < request.frameCount; ++written) {
        for (; submitted < request.frameCount && submitted < written + lookAhead; ++submitted)
            pipeline.Submit(submitted);
        const std::unique_ptr<wxImage> frame = pipeline.Take(written);
        MyGifHandler::PaletteBuffer palette;
        int count = 0;
        int transparentIndex = -1;
        if (!MyGifHandler::GetFramePalette(*frame, palette, count, transparentIndex)) {
            result.reason = wxString::Format(_("Frame %d could not be converted to 256 colours."),
                                             static_cast<int>(written + 1));
            return false;
        }
        // A palette frame always has few enough colours, so a refusal is a failed write.
        if (!handler.DoSaveFile(*frame, stream, written == 0, request.delay * 10, palette, count, transparentIndex)) {
            result.reason = file.WriteFailure();
            return false;
        }
        if (progress && !progress(written + 1, request.frameCount)) {
            result.cancelled = true;
            result.reason = _("The export was cancelled.");
            return false;
        }
    }
    if (!MyGifHandler::WriteTrailer(stream)) {
        result.reason = file.WriteFailure();
        return false;
    }
    return true;
}

}  // namespace

Result Export(const Request& request, const FrameSource& source, const Progress& progress) {
    Result result;
    if (request.width <= 0 || request.height <= 0) {
        result.reason = wxString::Format(_("The output size %d x %d has no pixels."), request.width, request.height);
        return result;
    }
    if (request.frameCount == 0) {
        result.reason = _("There are no frames to export.");
        return result;
    }
    // Failures come back as the reason; the stream classes would also log them.
    wxLogNull quiet;
    ReplacingFile file;
    if (!file.Open(request.path, result.reason))
        return result;
    if (!WriteFrames(request, source, progress, file.Stream(), result, file))
        return result;
    result.ok = file.Commit(result.reason);
    return result;
}

wxString EnsureGifExtension(const wxString& path) {
    return path.EndsWith(".gif") ? path : path + ".gif";
}

}  // namespace gif_export
