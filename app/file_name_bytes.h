#pragma once
// A Linux file name is bytes, not text. The toolkit turns names into text and back through
// wxConvFileName; this makes that round trip exact whatever the locale: UTF-8 is read as UTF-8, and
// bytes that are not UTF-8 become private-use characters that turn back into the same bytes (also
// after a trip through a UTF-8 project file).

#include <wx/string.h>

namespace file_name_bytes {

// Call once at start-up, before any file name is converted.
void Install();

// A name as the system gave it (command line, environment), as text that leads back to its bytes.
wxString FromBytes(const char* bytes);

}  // namespace file_name_bytes
