#include "app/file_name_bytes.h"

#include <wx/strconv.h>

namespace file_name_bytes {

void Install() {
    static wxMBConvUTF8 keepingBytes(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    wxConvFileName = &keepingBytes;
}

wxString FromBytes(const char* bytes) { return wxString(bytes, *wxConvFileName); }

}  // namespace file_name_bytes
