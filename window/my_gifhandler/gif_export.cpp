#include "window/my_gifhandler/gif_export.h"

#include "app/replacing_file.h"
#include "window/my_gifhandler/export_memory.h"
#include "window/my_gifhandler/frame_composition.h"
#include "window/my_gifhandler/my_gif_handler.h"
#include "window/my_gifhandler/palette_image.h"

#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>

#include <climits>
#include <condition_variable>
#include <deque>
#include <memory>
#include <new>
#include <mutex>
#include <thread>
#include <vector>

namespace gif_export {

namespace {

// Composes and reduces frames on worker threads; hands them back in any order by index.
class FramePipeline {
public:
    FramePipeline(int width, int height, unsigned threads) : m_width(width), m_height(height) {
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

    void Submit(size_t index, std::unique_ptr<wxImage> picture) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_jobs.push_back({index, std::move(picture)});
        }
        m_wake.notify_one();
    }

    struct Frame {
        std::unique_ptr<wxImage> image;  // the palette image; invalid when it could not be made
        bool outOfMemory = false;        // why it could not: an allocation failed
    };

    // Waits for the palette image of frame `index`.
    Frame Take(size_t index) {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            for (auto it = m_done.begin(); it != m_done.end(); ++it) {
                if (it->index == index) {
                    Frame frame{std::move(it->image), it->outOfMemory};
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
        bool outOfMemory = false;
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
                const wxImage composed = ComposeExportFrame(*job.image, m_width, m_height);
                // With a valid size, composing fails only for want of memory.
                job.outOfMemory = !composed.IsOk();
                *job.image = job.outOfMemory ? wxImage() : ConvertToPaletteImage(composed);
            } catch (const std::bad_alloc&) {
                *job.image = wxImage();
                job.outOfMemory = true;
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_done.push_back(std::move(job));
            }
            m_finished.notify_all();
        }
    }

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

std::unique_ptr<wxImage> Unshared(wxImage picture) {
    if (picture.IsOk() && picture.GetRefData()->GetRefCount() > 1)
        picture = picture.Copy();
    return std::make_unique<wxImage>(picture);
}

wxString NotEnoughMemory(int width, int height) {
    return wxString::Format(_("Not enough memory for a %d x %d canvas."), width, height);
}

// A request without frames, or of a size the GIF format, the writer or this machine's memory cannot
// hold, is refused before any file is touched; else the number of frames that may be prepared at once.
bool CheckRequest(const Request& request, unsigned& frameBudget, Result& result) {
    if (request.width <= 0 || request.height <= 0) {
        result.reason = wxString::Format(_("The output size %d x %d has no pixels."), request.width, request.height);
        return false;
    }
    if (request.frameCount == 0) {
        result.reason = _("There are no frames to export.");
        return false;
    }
    // Sizes are 16-bit fields in the file; the compressor counts the (even-width) pixels in an int.
    if (request.width > 65535 || request.height > 65535 ||
        static_cast<long long>(request.width + 1) * request.height > INT_MAX) {
        result.reason = wxString::Format(_("The output size %d x %d is larger than a GIF file can hold."),
                                         request.width, request.height);
        return false;
    }
    const std::uint64_t perFrame = export_memory::BytesPerFrame(request.width, request.height);
    const std::uint64_t available = export_memory::AvailableBytes();
    if (perFrame > available) {
        result.reason = NotEnoughMemory(request.width, request.height) + " " +
                        wxString::Format(_("Each frame needs about %s; %s are available."),
                                         wxFileName::GetHumanReadableSize(wxULongLong(perFrame)),
                                         wxFileName::GetHumanReadableSize(wxULongLong(available)));
        return false;
    }
    frameBudget = static_cast<unsigned>(std::min<std::uint64_t>(available / perFrame, 1024));
    return true;
}

// Writes every frame in order; false with a reason on failure or cancel.
bool WriteFrames(const Request& request, unsigned frameBudget, const FrameSource& source, const Progress& progress,
                 wxOutputStream& stream, Result& result, const ReplacingFile& file) {
    // Each worker holds a frame and one more waits to be written; fewer workers when memory allows
    // fewer frames at once.
    unsigned threads = request.threads ? request.threads : std::max(1u, std::thread::hardware_concurrency());
    threads = std::max(1u, std::min(threads, frameBudget > 1 ? frameBudget - 1 : 1));
    // One frame per worker and one more in flight, so no worker waits while the oldest frame is
    // written; memory stays bounded whatever the frame count.
    const size_t lookAhead = size_t(threads) + 1;
    FramePipeline pipeline(request.width, request.height, threads);
    MyGifHandler handler;
    size_t submitted = 0;
    for (size_t written = 0; written < request.frameCount; ++written) {
        for (; submitted < request.frameCount && submitted < written + lookAhead; ++submitted)
            pipeline.Submit(submitted, Unshared(source(submitted)));
        const FramePipeline::Frame frame = pipeline.Take(written);
        if (frame.outOfMemory) {
            result.reason = NotEnoughMemory(request.width, request.height);
            return false;
        }
        MyGifHandler::PaletteBuffer palette;
        int count = 0;
        int transparentIndex = -1;
        if (!MyGifHandler::GetFramePalette(*frame.image, palette, count, transparentIndex)) {
            result.reason = wxString::Format(_("Frame %d could not be converted to 256 colours."),
                                             static_cast<int>(written + 1));
            return false;
        }
        if (!handler.DoSaveFile(*frame.image, stream, written == 0, request.delay * 10, palette, count,
                                transparentIndex)) {
            // The stream says whether the file refused the bytes; otherwise the writer refused the frame.
            result.reason = stream.IsOk() ? wxString::Format(_("Frame %d could not be written as GIF."),
                                                             static_cast<int>(written + 1))
                                          : file.WriteFailure();
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

Result Write(const Request& request, ReplacingFile& file, const FrameSource& source, const Progress& progress) {
    Result result;
    unsigned frameBudget = 0;
    if (!CheckRequest(request, frameBudget, result))
        return result;
    // Failures come back as the reason; the stream classes would also log them.
    wxLogNull quiet;
    result.ok = WriteFrames(request, frameBudget, source, progress, file.Stream(), result, file);
    return result;
}

Result Export(const Request& request, const FrameSource& source, const Progress& progress) {
    Result result;
    unsigned frameBudget = 0;
    // Checked before the target's folder is touched, so a refused size leaves no trace.
    if (!CheckRequest(request, frameBudget, result))
        return result;
    ReplacingFile file;
    if (!file.Open(request.path, result.reason))
        return result;
    result = Write(request, file, source, progress);
    if (result.ok)
        result.ok = file.Commit(result.reason);
    return result;
}

wxString EnsureGifExtension(const wxString& path) {
    return path.EndsWith(".gif") ? path : path + ".gif";
}

}  // namespace gif_export
