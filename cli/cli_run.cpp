#include "cli/cli_run.h"

#include "app/paths.h"
#include "app/replacing_file.h"
#include "picture/added_pictures.h"
#include "picture/natural_order.h"
#include "picture/picture_intake.h"
#include "project/project_file.h"
#include "window/my_gifhandler/gif_export.h"
#include "window/output_size.h"

#include <wx/filename.h>
#include <wx/image.h>

#include <memory>
#include <optional>

namespace cli {

namespace {

constexpr int kDefaultDelay = 10;
// Decoded pictures kept from the first reading for the export, first frames first; later ones are
// read again when their turn comes. Reading twice costs time, keeping everything costs memory
// without bound.
constexpr size_t kKeptPictureBytes = 32u << 20;

// Paths and reasons go out as UTF-8 whatever the process locale.
std::string Utf8(const wxString& text) {
    return text.utf8_string();
}

// The readable pictures in frame order, each decoded once to learn its size.
class PictureList {
public:
    // Names every refused file with its reason on the error stream and leaves it out.
    void Load(const std::vector<wxString>& paths, std::ostream& err) {
        std::vector<AddedPictures::File> files;
        size_t kept = 0;
        for (const wxString& path : paths) {
            picture_intake::Outcome outcome = picture_intake::Read(path);
            if (!outcome.Taken()) {
                err << "quintrel-gif: \"" << Utf8(path) << "\": " << Utf8(picture_intake::ReasonText(outcome))
                    << "; skipped.\n";
                continue;
            }
            const wxImage& picture = outcome.picture;
            Entry entry{path, picture.GetSize(), {}};
            const size_t bytes = size_t(picture.GetWidth()) * picture.GetHeight() * (picture.HasAlpha() ? 4 : 3);
            if (kept + bytes <= kKeptPictureBytes) {
                kept += bytes;
                entry.picture = picture;
            }
            m_entries.push_back(std::move(entry));
            files.push_back({path, outcome.stamp});
        }
        m_files = std::make_unique<AddedPictures>(std::move(files));
    }

    size_t Count() const { return m_entries.size(); }

    std::vector<wxSize> Sizes() const {
        std::vector<wxSize> sizes;
        for (const Entry& entry : m_entries)
            sizes.push_back(entry.size);
        return sizes;
    }

    std::vector<wxString> AbsolutePaths() const {
        std::vector<wxString> paths;
        for (const Entry& entry : m_entries) {
            wxFileName name(entry.path);
            name.MakeAbsolute();
            paths.push_back(name.GetFullPath());
        }
        return paths;
    }

    // Hands the picture over, reading it again when it was not kept. Called on the export's
    // workers, once per frame.
    wxImage Take(size_t index) {
        Entry& entry = m_entries[index];
        if (!entry.picture)
            return m_files->Read(index);
        wxImage picture = *entry.picture;
        entry.picture.reset();
        return picture;
    }

    // The file that changed or vanished since it was first read, if one did.
    const AddedPictures& Files() const { return *m_files; }

private:
    struct Entry {
        wxString path;
        wxSize size;
        std::optional<wxImage> picture;
    };
    std::vector<Entry> m_entries;
    std::unique_ptr<AddedPictures> m_files;
};

// Delay, size, GIF name and images as the settings give them before any picture is read.
struct Work {
    int delay = kDefaultDelay;
    int level = gif_optimise::kExact;
    std::optional<wxSize> referenceSize;  // a project's stored size; else found from the pictures
    wxString output;
    std::vector<wxString> imagePaths;
};

bool ReadProject(const Options& options, Work& work, const Console& console) {
    const project_file::ReadResult read = project_file::Read(options.project);
    if (!read.ok) {
        console.err << "quintrel-gif: " << Utf8(read.reason) << "\n";
        return false;
    }
    if (read.listsNoImage)
        console.err << "quintrel-gif: " << Utf8(options.project) << ": Failed to load XML file!\n";
    const project_file::ProjectContents& contents = read.contents;
    work.delay = contents.delay;
    work.level = contents.level;
    work.referenceSize = wxSize(contents.width, contents.height);
    work.imagePaths = contents.imagePaths;
    // The reader refuses names with folder parts, so the GIF lands in the project's folder.
    if (!contents.gifPath.empty())
        work.output = wxFileName(options.project).GetPathWithSep() + contents.gifPath;
    return true;
}

// The program's rules: both given are taken as they are; one given sets the other in proportion
// to the reference size.
bool OutputSize(const Options& options, const wxSize& reference, wxSize& size, const Console& console) {
    size = reference;
    if (options.width && options.height) {
        size = wxSize(*options.width, *options.height);
    } else if (options.width) {
        size.x = *options.width;
        if (!output_size::HeightForWidth(size.x, reference.x, reference.y, size.y)) {
            console.err << "quintrel-gif: the pictures have no width to keep the proportion of; give -H too.\n";
            return false;
        }
    } else if (options.height) {
        size.y = *options.height;
        if (!output_size::WidthForHeight(size.y, reference.x, reference.y, size.x)) {
            console.err << "quintrel-gif: the pictures have no height to keep the proportion of; give -W too.\n";
            return false;
        }
    }
    // A side that follows in proportion can leave the range a GIF (and a project) can hold.
    if (size.x < 1 || size.y < 1) {
        console.err << "quintrel-gif: the output size " << size.x << " x " << size.y << " has no pixels.\n";
        return false;
    }
    if (size.x > 65535 || size.y > 65535) {
        console.err << "quintrel-gif: the output size " << size.x << " x " << size.y
                    << " is larger than a GIF file can hold (65535 x 65535).\n";
        return false;
    }
    return true;
}

gif_export::Request MakeRequest(const Options& options, const PictureList& pictures, const wxSize& size,
                                const Work& work) {
    gif_export::Request request;
    request.frameCount = pictures.Count();
    request.width = size.x;
    request.height = size.y;
    request.delay = work.delay;
    request.level = static_cast<gif_optimise::Level>(options.level.value_or(work.level));
    request.lossy = options.lossy.value_or(gif_optimise::kDefaultLossy);
    return request;
}

bool PrintEstimate(const gif_export::Request& request, PictureList& pictures, const Console& console) {
    const gif_export::SizeEstimate estimate =
        gif_export::EstimateSize(request, [&](size_t index) { return pictures.Take(index); });
    if (!estimate.ok) {
        console.err << "quintrel-gif: " << Utf8(estimate.reason) << "\n";
        return false;
    }
    console.out << estimate.bytes << "\n";
    return true;
}

// Writes the GIF into its opened file; committing is the caller's.
bool WriteGif(ReplacingFile& file, const gif_export::Request& request, PictureList& pictures, const Console& console) {
    const auto progress = [&](size_t done, size_t total) {
        if (pictures.Files().Failed())
            return false;
        if (console.showProgress) {
            console.err << "\rquintrel-gif: frame " << done << " of " << total << (done == total ? "\n" : "");
            console.err.flush();
        }
        return true;
    };
    const gif_export::Result result =
        gif_export::Write(request, file, [&](size_t index) { return pictures.Take(index); }, progress);
    if (!result.ok) {
        const wxString reason = pictures.Files().Failed() ? pictures.Files().FailureText() : result.reason;
        console.err << "quintrel-gif: " << Utf8(reason) << "\n";
    }
    return result.ok;
}

bool Fail(const wxString& reason, const Console& console) {
    console.err << "quintrel-gif: " << Utf8(reason) << "\n";
    return false;
}

// Both targets are written to temporary files first and replaced only when both are complete, so a
// failure replaces neither.
bool WriteTargets(const wxString& gifPath, const wxString& projectPath, const gif_export::Request& request,
                  PictureList& pictures, const Console& console) {
    ReplacingFile gif;
    ReplacingFile project;
    wxString reason;
    if (!gifPath.empty() && !gif.Open(gifPath, reason))
        return Fail(reason, console);
    if (!projectPath.empty() && !project.Open(projectPath, reason))
        return Fail(reason, console);

    // The paths before the export hands the pictures over.
    project_file::ProjectContents contents;
    contents.gifPath = gifPath;
    contents.width = request.width;
    contents.height = request.height;
    contents.delay = request.delay;
    contents.level = request.level;
    contents.imagePaths = pictures.AbsolutePaths();
    if (!gifPath.empty() && !WriteGif(gif, request, pictures, console))
        return false;
    if (!projectPath.empty()) {
        const project_file::SaveResult written = project_file::Write(project, contents);
        if (!written.ok)
            return Fail(written.reason, console);
    }
    if (!gifPath.empty() && !gif.Commit(reason))
        return Fail(reason, console);
    if (!projectPath.empty() && !project.Commit(reason))
        return Fail(reason, console);
    if (!gifPath.empty())
        console.out << Utf8(wxFileName(gifPath).GetFullName()) << " (" << request.width << " * " << request.height << ")px, "
                    << pictures.Count() << " frames\n";
    return true;
}

}  // namespace

int Run(const Options& options, const Console& console) {
    Work work;
    if (!options.project.empty()) {
        if (!ReadProject(options, work, console))
            return kFailed;
    } else {
        work.imagePaths = options.images;
        // The window adds files chosen together in this order, so both write the same GIF.
        if (!options.keepGivenOrder)
            natural_order::Sort(work.imagePaths);
    }
    if (options.delay)
        work.delay = *options.delay;
    if (!options.output.empty())
        work.output = options.output;
    if (work.output.empty() && options.saveProject.empty() && !options.estimate) {
        console.err << "quintrel-gif: the project names no GIF file; give one with -o.\n";
        return kFailed;
    }

    PictureList pictures;
    pictures.Load(work.imagePaths, console.err);
    if (pictures.Count() == 0) {
        console.err << "quintrel-gif: no readable image.\n";
        return kFailed;
    }
    wxSize size;
    if (!OutputSize(options, work.referenceSize.value_or(output_size::FindBestSize(pictures.Sizes())), size, console))
        return kFailed;

    const gif_export::Request request = MakeRequest(options, pictures, size, work);
    if (options.estimate)
        return PrintEstimate(request, pictures, console) ? kDone : kFailed;
    const wxString gifPath = work.output.empty() ? wxString() : gif_export::EnsureGifExtension(work.output);
    if (!WriteTargets(gifPath, options.saveProject, request, pictures, console))
        return kFailed;
    return kDone;
}

int Main(const std::vector<wxString>& arguments, const Console& console) {
    const ParsedArguments parsed = ParseArguments(arguments);
    if (!parsed.ok) {
        console.err << "quintrel-gif: " << Utf8(parsed.error) << "\n" << Utf8(UsageText());
        return kBadArguments;
    }
    if (parsed.options.help) {
        console.out << Utf8(UsageText());
        return kDone;
    }
    if (parsed.options.version) {
        console.out << Utf8(paths::Version()) << "\n";
        return kDone;
    }
    return Run(parsed.options, console);
}

}  // namespace cli
