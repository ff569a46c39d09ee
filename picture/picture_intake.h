#pragma once
// The one way a picture enters the program: the format is told by the file's first bytes, the size
// is checked from the header before any pixel is decoded, and only decoders that survive hostile
// files are used. Safe on any thread once the toolkit's image handlers are registered.

#include <wx/image.h>
#include <wx/stream.h>
#include <wx/string.h>

namespace picture_intake {

// Big enough for 8K photographs, small enough that no picture costs more than about 200 MB decoded.
constexpr long long kMaxSide = 16384;
constexpr long long kMaxPixels = 64'000'000;

// Changed: the file is no longer the one read before (see ReadUnchanged).
enum class Refusal { None, Unsupported, Damaged, TooLarge, Unreadable, Changed };

// What identifies the contents of a file read: a file rewritten since has another size or time.
struct FileStamp {
    long long size = -1;
    long long modifiedNs = -1;
    bool operator==(const FileStamp& other) const {
        return size == other.size && modifiedNs == other.modifiedNs;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

struct Outcome {
    wxImage picture;                 // valid exactly when nothing was refused
    Refusal refusal = Refusal::None;
    long long width = 0;             // the size the header states, also when too large
    long long height = 0;
    int error = 0;                   // the system's error number when the file cannot be read
    FileStamp stamp;                 // of the file as it was read

    bool Taken() const { return refusal == Refusal::None; }
};

// Decodes the picture that starts at the stream's beginning.
Outcome Decode(wxInputStream& stream);

// Decodes the picture file; anything but a readable regular file is refused.
Outcome Read(const wxString& path);

// Decodes the file only if it is still the one `expected` was taken from; else refused as changed,
// or as unreadable when it is gone. What was added never turns silently into another picture.
Outcome ReadUnchanged(const wxString& path, const FileStamp& expected);

// The file's identity as it is now; size -1 when it cannot be examined.
FileStamp StampOf(const wxString& path);

// Why the picture was refused, translated, e.g. "damaged"; empty when it was taken.
wxString ReasonText(const Outcome& outcome);

}  // namespace picture_intake
