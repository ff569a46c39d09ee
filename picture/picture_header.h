#pragma once
// What a picture file is and how big it is, from its first bytes, before any pixel is decoded.

#include <wx/gdicmn.h>
#include <wx/stream.h>

namespace picture_header {

enum class Format { Png, Jpeg, Bmp, Gif };

enum class Verdict {
    Known,        // format and size found
    Unsupported,  // the first bytes are none of the four formats
    Damaged,      // a known signature, but no usable size behind it
};

struct Header {
    Verdict verdict = Verdict::Unsupported;
    Format format = Format::Png;
    // Width and height as the header states them; 64 bits so that no stated size overflows.
    long long width = 0;
    long long height = 0;
};

// Reads from the stream's current position; the stream is left somewhere behind the header.
Header Read(wxInputStream& stream);

}  // namespace picture_header
