#include "window/my_gifhandler/gif_export.h"

#include "app/replacing_file.h"
#include "window/my_gifhandler/export_memory.h"
#include "window/my_gifhandler/frame_composition.h"
#include "window/my_gifhandler/frame_optimiser.h"
#include "window/my_gifhandler/my_gif_handler.h"
#include "window/my_gifhandler/optimised_gif_writer.h"
#include "window/my_gifhandler/palette_image.h"

#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/stream.h>

#include <numeric>

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

// A frame as the workers hand it over: at the exact level a palette image; otherwise the composed
// canvas and the palette chosen for it, which the optimiser maps against what is already shown.
struct PreparedFrame {
    wxImage image;
    gif_optimise::Palette palette;
    bool outOfMemory = false;  // an allocation failed while preparing it
};

std::unique_ptr<PreparedFrame> Unshared(wxImage picture) {
    if (picture.IsOk() && picture.GetRefData()->GetRefCount() > 1)
        picture = picture.Copy();
    return std::make_unique<PreparedFrame>(PreparedFrame{picture, {}, false});
}

// Reads, composes and reduces frames on worker threads; hands them back in any order by index.
class FramePipeline {
public:
    FramePipeline(const FrameSource& source, int width, int height, bool paletteOnly, unsigned threads)
        : m_source(source), m_width(width), m_height(height), m_paletteOnly(paletteOnly) {
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

    // Waits for frame `index`.
    std::unique_ptr<PreparedFrame> Take(size_t index) {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            for (auto it = m_done.begin(); it != m_done.end(); ++it) {
                if (it->index == index) {
                    std::unique_ptr<PreparedFrame> frame = std::move(it->frame);
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
        std::unique_ptr<PreparedFrame> frame;
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
                job.frame = Unshared(m_source(job.index));
                PreparedFrame& frame = *job.frame;
                frame.image = ComposeExportFrame(frame.image, m_width, m_height);
                // With a valid size, composing fails only for want of memory.
                frame.outOfMemory = !frame.image.IsOk();
                if (!frame.outOfMemory && m_paletteOnly)
                    frame.palette = ChooseImagePalette(frame.image, gif_optimise::kMaxPaletteColours);
                else if (!frame.outOfMemory)
                    frame.image = ConvertToPaletteImage(frame.image);
            } catch (const std::bad_alloc&) {
                job.frame = std::make_unique<PreparedFrame>();
                job.frame->outOfMemory = true;
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
    const bool m_paletteOnly;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_finished;
    std::deque<Job> m_jobs;
    std::vector<Job> m_done;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

enum class Outcome { kWritten, kUnconvertible, kOutOfMemory, kRefused, kWriteFailed, kCancelled };

// Writes one frame at the exact level: every frame a full canvas with its own palette.
class ExactWriter {
public:
    Outcome Write(const PreparedFrame& frame, bool first, int delay, wxOutputStream& stream) {
        MyGifHandler::PaletteBuffer palette;
        int count = 0;
        int transparentIndex = -1;
        if (!MyGifHandler::GetFramePalette(frame.image, palette, count, transparentIndex))
            return Outcome::kUnconvertible;
        // The stream says whether the file refused the bytes; otherwise the writer refused the frame.
        if (!m_handler.DoSaveFile(frame.image, stream, first, delay * 10, palette, count, transparentIndex))
            return stream.IsOk() ? Outcome::kRefused : Outcome::kWriteFailed;
        return Outcome::kWritten;
    }

private:
    MyGifHandler m_handler;
};

// Writes one frame at the smaller levels, as the changes against what is already shown.
class OptimisedWriter {
public:
    explicit OptimisedWriter(const Request& request)
        : m_optimiser(request.width, request.height, static_cast<gif_optimise::Level>(request.level), request.lossy),
          m_width(request.width), m_height(request.height) {}

    Outcome Write(const PreparedFrame& frame, bool first, int delay, wxOutputStream& stream) {
        // The format's sides are 16-bit fields.
        if (frame.palette.empty() || !frame.image.IsOk() || m_width > 0xFFFF || m_height > 0xFFFF)
            return Outcome::kUnconvertible;
        const gif_optimise::Frame optimised = m_optimiser.Next(frame.image.GetData(), frame.palette);
        if (first && !gif_optimise::WriteHeader(stream, m_width, m_height, m_optimiser.GlobalPalette()))
            return Outcome::kWriteFailed;
        return gif_optimise::WriteFrame(stream, optimised, delay) ? Outcome::kWritten : Outcome::kWriteFailed;
    }

private:
    gif_optimise::FrameOptimiser m_optimiser;
    const int m_width;
    const int m_height;
};

// Writes every frame in order and the trailer; on failure `failedFrame` is the frame concerned.
template <typename Writer>
Outcome WriteFramesWith(Writer& writer, const Request& request, unsigned frameBudget, const FrameSource& source,
                        const Progress& progress, wxOutputStream& stream, size_t& failedFrame) {
    // Fewer workers when memory allows fewer frames at once.
    unsigned threads = request.threads ? request.threads : std::max(1u, std::thread::hardware_concurrency());
    threads = std::max(1u, std::min(threads, frameBudget > 1 ? frameBudget - 1 : 1));
    // One frame per worker and one more in flight, so no worker waits while the oldest frame is
    // written; memory stays bounded whatever the frame count.
    const size_t lookAhead = size_t(threads) + 1;
    FramePipeline pipeline(source, request.width, request.height, request.level != gif_optimise::kExact, threads);
    size_t submitted = 0;
    for (size_t written = 0; written < request.frameCount; ++written) {
        for (; submitted < request.frameCount && submitted < written + lookAhead; ++submitted)
            pipeline.Submit(submitted);
        const std::unique_ptr<PreparedFrame> frame = pipeline.Take(written);
        const Outcome outcome =
            frame->outOfMemory ? Outcome::kOutOfMemory : writer.Write(*frame, written == 0, request.delay, stream);
        if (outcome != Outcome::kWritten) {
            failedFrame = written;
            return outcome;
        }
        if (progress && !progress(written + 1, request.frameCount))
            return Outcome::kCancelled;
    }
    return MyGifHandler::WriteTrailer(stream) ? Outcome::kWritten : Outcome::kWriteFailed;
}

Outcome WriteFrames(const Request& request, unsigned frameBudget, const FrameSource& source, const Progress& progress,
                    wxOutputStream& stream, size_t& failedFrame) {
    if (request.level == gif_optimise::kExact) {
        ExactWriter writer;
        return WriteFramesWith(writer, request, frameBudget, source, progress, stream, failedFrame);
    }
    OptimisedWriter writer(request);
    return WriteFramesWith(writer, request, frameBudget, source, progress, stream, failedFrame);
}

wxString NotEnoughMemory(int width, int height) {
    return wxString::Format(_("Not enough memory for a %d x %d canvas."), width, height);
}

// Where the request cannot be exported at all (no frames, or a size the GIF format, the writer or this
// machine's memory cannot hold), why; empty when it can, with the number of frames that may be prepared
// at once in `frameBudget`.
wxString Refusal(const Request& request, unsigned& frameBudget) {
    if (request.width <= 0 || request.height <= 0)
        return wxString::Format(_("The output size %d x %d has no pixels."), request.width, request.height);
    if (request.frameCount == 0)
        return _("There are no frames to export.");
    // Sizes are 16-bit fields in the file; the compressor counts the (even-width) pixels in an int.
    if (request.width > 65535 || request.height > 65535 ||
        static_cast<long long>(request.width + 1) * request.height > INT_MAX)
        return wxString::Format(_("The output size %d x %d is larger than a GIF file can hold."), request.width,
                                request.height);
    const std::uint64_t perFrame = export_memory::BytesPerFrame(request.width, request.height);
    const std::uint64_t available = export_memory::AvailableBytes();
    if (perFrame > available)
        return NotEnoughMemory(request.width, request.height) + " " +
               wxString::Format(_("Each frame needs about %s; %s are available."),
                                wxFileName::GetHumanReadableSize(wxULongLong(perFrame)),
                                wxFileName::GetHumanReadableSize(wxULongLong(available)));
    frameBudget = static_cast<unsigned>(std::min<std::uint64_t>(available / perFrame, 1024));
    return wxString();
}

// The reason for a frame or file that failed, as the user reads it.
wxString FailureReason(Outcome outcome, size_t failedFrame, const Request& request, const ReplacingFile& file) {
    switch (outcome) {
    case Outcome::kUnconvertible:
        return wxString::Format(_("Frame %d could not be converted to 256 colours."), static_cast<int>(failedFrame + 1));
    case Outcome::kOutOfMemory:
        return NotEnoughMemory(request.width, request.height);
    case Outcome::kRefused:
        return wxString::Format(_("Frame %d could not be written as GIF."), static_cast<int>(failedFrame + 1));
    case Outcome::kCancelled:
        return _("The export was cancelled.");
    default:
        return file.WriteFailure();
    }
}

}  // namespace

namespace {

// Writes a request already checked, with the frame budget the check gave.
Result WriteChecked(const Request& request, unsigned frameBudget, ReplacingFile& file, const FrameSource& source,
                    const Progress& progress) {
    // Failures come back as the reason; the stream classes would also log them.
    wxLogNull quiet;
    Result result;
    size_t failedFrame = 0;
    const Outcome outcome = WriteFrames(request, frameBudget, source, progress, file.Stream(), failedFrame);
    result.ok = outcome == Outcome::kWritten;
    result.cancelled = outcome == Outcome::kCancelled;
    if (!result.ok)
        result.reason = FailureReason(outcome, failedFrame, request, file);
    return result;
}

}  // namespace

Result Write(const Request& request, ReplacingFile& file, const FrameSource& source, const Progress& progress) {
    Result result;
    unsigned frameBudget = 0;
    result.reason = Refusal(request, frameBudget);
    if (!result.reason.empty())
        return result;
    return WriteChecked(request, frameBudget, file, source, progress);
}

Result Export(const Request& request, const FrameSource& source, const Progress& progress) {
    Result result;
    unsigned frameBudget = 0;
    // Checked before the target's folder is touched, so a refused size leaves no trace.
    result.reason = Refusal(request, frameBudget);
    if (!result.reason.empty())
        return result;
    ReplacingFile file;
    if (!file.Open(request.path, result.reason))
        return result;
    result = WriteChecked(request, frameBudget, file, source, progress);
    if (result.ok)
        result.ok = file.Commit(result.reason);
    return result;
}

namespace {

// Runs of neighbouring frames encoded for an estimate. A frame costs more after several
// predecessors than after one, as the colours drawn from drift away from the true ones, so only
// the frames after the first two of a run count as later frames.
constexpr size_t kEstimateRuns = 6;
constexpr size_t kEstimateRunLength = 4;
constexpr size_t kEstimateSettling = 2;

bool EstimateEveryFrame(size_t frameCount) { return frameCount <= kEstimateRuns * kEstimateRunLength; }

size_t EstimateRunStart(size_t run, size_t frameCount) {
    return run * (frameCount - kEstimateRunLength) / (kEstimateRuns - 1);
}

}  // namespace

SizeEstimate EstimateSize(const Request& request, const FrameSource& source, const Progress& progress) {
    SizeEstimate estimate;
    unsigned frameBudget = 0;
    estimate.reason = Refusal(request, frameBudget);
    if (!estimate.reason.empty())
        return estimate;
    wxLogNull quiet;
    const size_t frames = request.frameCount;
    const bool everyFrame = EstimateEveryFrame(frames);
    const size_t runs = everyFrame ? 1 : kEstimateRuns;
    const size_t runLength = everyFrame ? frames : kEstimateRunLength;
    std::vector<unsigned long long> firstSizes, laterSizes;
    for (size_t run = 0; run < runs; ++run) {
        const size_t start = everyFrame ? 0 : EstimateRunStart(run, frames);
        Request part = request;
        part.frameCount = runLength;
        wxCountingOutputStream counter;
        unsigned long long before = 0;
        const Progress measure = [&](size_t done, size_t) {
            const unsigned long long length = counter.GetLength();
            if (done == 1)
                firstSizes.push_back(length);
            else if (everyFrame || done > kEstimateSettling)
                laterSizes.push_back(length - before);
            before = length;
            return !progress || progress(run * runLength + done, runs * runLength);
        };
        size_t failedFrame = 0;
        const Outcome outcome =
            WriteFrames(part, frameBudget, [&](size_t index) { return source(start + index); }, measure, counter,
                        failedFrame);
        if (outcome == Outcome::kCancelled) {
            estimate.cancelled = true;
            estimate.reason = _("The export was cancelled.");
            return estimate;
        }
        if (outcome != Outcome::kWritten) {
            estimate.reason = wxString::Format(_("Frame %d could not be converted to 256 colours."),
                                               static_cast<int>(start + failedFrame + 1));
            return estimate;
        }
    }
    const size_t trailer = 1;
    const unsigned long long first = std::accumulate(firstSizes.begin(), firstSizes.end(), 0ull) / firstSizes.size();
    if (everyFrame) {
        estimate.bytes = first + std::accumulate(laterSizes.begin(), laterSizes.end(), 0ull) + trailer;
    } else {
        const double later = std::accumulate(laterSizes.begin(), laterSizes.end(), 0.0) / laterSizes.size();
        estimate.bytes = first + static_cast<unsigned long long>((frames - 1) * later) + trailer;
    }
    estimate.ok = true;
    return estimate;
}

wxString EnsureGifExtension(const wxString& path) {
    return path.EndsWith(".gif") ? path : path + ".gif";
}

}  // namespace gif_export
