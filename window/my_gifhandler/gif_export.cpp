#include "window/my_gifhandler/gif_export.h"

#include "window/my_gifhandler/frame_composition.h"
#include "window/my_gifhandler/my_gif_handler.h"
#include "window/my_gifhandler/palette_image.h"

#include <wx/file.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/wfstream.h>

#include <sys/stat.h>

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <memory>
#include <new>
#include <mutex>
#include <thread>
#include <vector>

namespace gif_export {

namespace {

// Read-only by its permission bits too, which the superuser's access check ignores.
bool IsWritable(const wxString& path) {
    struct stat status;
    return wxFileName::IsFileWritable(path) && stat(path.fn_str(), &status) == 0 && (status.st_mode & 0222) != 0;
}

// A temporary file beside the target that replaces it on Commit and is removed otherwise.
class PendingFile {
public:
    ~PendingFile() {
        if (!m_tempPath.empty()) {
            m_file.Close();
            wxRemoveFile(m_tempPath);
        }
    }

    bool Create(const wxString& target, wxString& reason) {
        m_target = target;
        if (wxFileName::DirExists(target)) {
            reason = wxString::Format(_("\"%s\" is a folder."), target);
            return false;
        }
        if (wxFileName::FileExists(target) && !IsWritable(target)) {
            reason = wxString::Format(_("\"%s\" is read-only."), target);
            return false;
        }
        m_tempPath = wxFileName::CreateTempFileName(target + ".", &m_file);
        if (m_tempPath.empty() || !m_file.IsOpened()) {
            reason = wxString::Format(_("Cannot create a file in \"%s\": %s"),
                                      wxFileName(target).GetPath(), wxSysErrorMsgStr());
            m_tempPath.clear();
            return false;
        }
        m_stream = std::make_unique<wxFileOutputStream>(m_file);
        return true;
    }

    wxOutputStream& Stream() { return *m_stream; }

    // Puts the bytes on disc and renames the file over the target.
    bool Commit(wxString& reason) {
        // Temporary files are private; give the GIF the permissions a newly created file gets,
        // or those of the file it replaces.
        mode_t mode;
        struct stat existing;
        if (stat(m_target.fn_str(), &existing) == 0) {
            mode = existing.st_mode & 07777;
        } else {
            const mode_t mask = umask(0);
            umask(mask);
            mode = 0666 & ~mask;
        }
        errno = 0;
        if (!m_file.Flush() || !m_file.Close() || chmod(m_tempPath.fn_str(), mode) != 0 ||
            !wxRenameFile(m_tempPath, m_target, true)) {
            reason = WriteFailure();
            return false;
        }
        m_tempPath.clear();
        return true;
    }

    // A write that stops short sets no error code; the disc is full then, or the file too large.
    wxString WriteFailure() const {
        if (errno == 0)
            return wxString::Format(_("Cannot write \"%s\": the disc is full."), m_target);
        return wxString::Format(_("Cannot write \"%s\": %s"), m_target, wxSysErrorMsgStr());
    }

private:
    wxString m_target;
    wxString m_tempPath;
    wxFile m_file;
    std::unique_ptr<wxFileOutputStream> m_stream;
};

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
                *job.image = ConvertToPaletteImage(ComposeExportFrame(*job.image, m_width, m_height));
            } catch (const std::bad_alloc&) {
                *job.image = wxImage();  // no palette: the writer refuses the frame with a reason
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

// Writes every frame in order; false with a reason on failure or cancel.
bool WriteFrames(const Request& request, const FrameSource& source, const Progress& progress,
                 wxOutputStream& stream, Result& result, const PendingFile& file) {
    const unsigned threads = request.threads ? request.threads : std::max(1u, std::thread::hardware_concurrency());
    // One frame per worker and one more in flight, so no worker waits while the oldest frame is
    // written; memory stays bounded whatever the frame count.
    const size_t lookAhead = size_t(threads) + 1;
    FramePipeline pipeline(request.width, request.height, threads);
    MyGifHandler handler;
    size_t submitted = 0;
    for (size_t written = 0; written < request.frameCount; ++written) {
        for (; submitted < request.frameCount && submitted < written + lookAhead; ++submitted)
            pipeline.Submit(submitted, Unshared(source(submitted)));
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
        errno = 0;
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
    errno = 0;
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
    PendingFile file;
    if (!file.Create(request.path, result.reason))
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
