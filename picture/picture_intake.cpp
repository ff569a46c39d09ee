#include "picture/picture_intake.h"

#include "picture/gif_picture.h"
#include "picture/picture_header.h"

#include <wx/file.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/wfstream.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace picture_intake {

namespace {

bool WithinLimit(long long width, long long height) {
    return width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

Outcome Refused(Refusal refusal) {
    Outcome outcome;
    outcome.refusal = refusal;
    return outcome;
}

Outcome Unreadable(int error) {
    Outcome outcome = Refused(Refusal::Unreadable);
    outcome.error = error;
    return outcome;
}

wxBitmapType ToolkitType(picture_header::Format format) {
    switch (format) {
        case picture_header::Format::Png:
            return wxBITMAP_TYPE_PNG;
        case picture_header::Format::Jpeg:
            return wxBITMAP_TYPE_JPEG;
        case picture_header::Format::Bmp:
            return wxBITMAP_TYPE_BMP;
        case picture_header::Format::Gif:
            break;
    }
    return wxBITMAP_TYPE_GIF;
}

// The header's verdict and size; refuses what is unknown, damaged or too large.
Outcome CheckHeader(wxInputStream& stream, picture_header::Header& header) {
    header = picture_header::Read(stream);
    Outcome outcome;
    outcome.width = header.width;
    outcome.height = header.height;
    if (header.verdict == picture_header::Verdict::Unsupported)
        outcome.refusal = Refusal::Unsupported;
    else if (header.verdict == picture_header::Verdict::Damaged)
        outcome.refusal = Refusal::Damaged;
    else if (!WithinLimit(header.width, header.height))
        outcome.refusal = Refusal::TooLarge;
    return outcome;
}

void DecodePixels(wxInputStream& stream, picture_header::Format format, Outcome& outcome) {
    if (stream.SeekI(0) == wxInvalidOffset) {
        outcome.refusal = Refusal::Damaged;
        return;
    }
    wxImage picture;
    if (format == picture_header::Format::Gif) {
        // The screen size passed; each picture inside states its own and is checked again.
        const auto allowed = [&outcome](int width, int height) {
            outcome.width = width;
            outcome.height = height;
            return WithinLimit(width, height);
        };
        switch (gif_picture::DecodeFirst(stream, allowed, picture)) {
            case gif_picture::Result::Decoded:
                break;
            case gif_picture::Result::Refused:
                outcome.refusal = Refusal::TooLarge;
                return;
            case gif_picture::Result::Damaged:
                outcome.refusal = Refusal::Damaged;
                return;
        }
    } else {
        // Called directly, so that no other handler ever gets to guess at the file.
        wxImageHandler* handler = wxImage::FindHandler(ToolkitType(format));
        if (!handler) {
            outcome.refusal = Refusal::Unsupported;
            return;
        }
        if (!handler->LoadFile(&picture, stream, false, -1) || !picture.IsOk()) {
            outcome.refusal = Refusal::Damaged;
            return;
        }
    }
    outcome.width = picture.GetWidth();
    outcome.height = picture.GetHeight();
    outcome.picture = picture;
}

// Opens without blocking on a pipe, and refuses what is not a regular file before any read.
int OpenRegularFile(const wxString& path, struct stat& status, Outcome& refusal) {
    const int fd = ::open(path.fn_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        refusal = Unreadable(errno);
        return -1;
    }
    if (::fstat(fd, &status) != 0) {
        refusal = Unreadable(errno);
    } else if (S_ISDIR(status.st_mode)) {
        refusal = Unreadable(EISDIR);
    } else if (!S_ISREG(status.st_mode)) {
        refusal = Refused(Refusal::Unsupported);
    } else {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return fd;
    }
    ::close(fd);
    return -1;
}

FileStamp StampFrom(const struct stat& status) {
    FileStamp stamp;
    stamp.size = status.st_size;
    stamp.modifiedNs = static_cast<long long>(status.st_mtim.tv_sec) * 1'000'000'000LL + status.st_mtim.tv_nsec;
    return stamp;
}

// Reads the file through `read`; a failing read of the file itself is told as such, not as damage.
template <typename ReadStream>
Outcome ReadFile(const wxString& path, ReadStream read) {
    wxLogNull quiet;  // the outcome says it all
    struct stat status {};
    Outcome refusal;
    const int fd = OpenRegularFile(path, status, refusal);
    if (fd < 0)
        return refusal;
    wxFile file(fd);
    wxFileInputStream stream(file);
    Outcome outcome = read(stream);
    if (file.GetLastError() != 0)
        outcome = Unreadable(file.GetLastError());
    outcome.stamp = StampFrom(status);
    return outcome;
}

}  // namespace

Outcome Decode(wxInputStream& stream) {
    wxLogNull quiet;
    picture_header::Header header;
    Outcome outcome = CheckHeader(stream, header);
    if (outcome.Taken())
        DecodePixels(stream, header.format, outcome);
    return outcome;
}

Outcome Read(const wxString& path) {
    return ReadFile(path, [](wxInputStream& stream) { return Decode(stream); });
}

Outcome ReadUnchanged(const wxString& path, const FileStamp& expected) {
    Outcome outcome = Read(path);
    if (outcome.refusal != Refusal::Unreadable && outcome.stamp != expected) {
        const FileStamp stamp = outcome.stamp;
        outcome = Refused(Refusal::Changed);
        outcome.stamp = stamp;
    }
    return outcome;
}

FileStamp StampOf(const wxString& path) {
    struct stat status {};
    if (::stat(path.fn_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return FileStamp();
    return StampFrom(status);
}

wxString ReasonText(const Outcome& outcome) {
    switch (outcome.refusal) {
        case Refusal::None:
            break;
        case Refusal::Unsupported:
            return _("not a supported picture");
        case Refusal::Damaged:
            return _("damaged");
        case Refusal::TooLarge:
            return wxString::Format(_("%lld x %lld px is above the limit of %lld px a side and %lld megapixels"),
                                    outcome.width, outcome.height, kMaxSide, kMaxPixels / 1'000'000);
        case Refusal::Unreadable:
            return wxString::Format(_("cannot be read: %s"), wxSysErrorMsgStr(outcome.error));
        case Refusal::Changed:
            return _("changed since it was added");
    }
    return wxString();
}

}  // namespace picture_intake
