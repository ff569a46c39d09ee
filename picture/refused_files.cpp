#include "picture/refused_files.h"

wxString RefusedFilesList(const std::vector<RefusedFile>& files) {
    wxString text;
    for (const RefusedFile& file : files) {
        if (!text.empty())
            text += "\n";
        text += file.path + ": " + file.reason;
    }
    return text;
}
