#pragma once
// Scratch files for tests. Every test runs with a HOME of its own, which is also its scratch folder.

#include "tests/support/isolated_home.h"

#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/image.h>

#include <string>
#include <vector>

namespace test_files {

inline wxString Scratch(const wxString& name = wxString()) {
    const wxString home = wxString::FromUTF8(IsolatedHomeListener::CurrentHome());
    return name.empty() ? home : home + "/" + name;
}

inline std::string Read(const wxString& path) {
    wxFFile file(path, "rb");
    std::string bytes(file.IsOpened() ? static_cast<size_t>(file.Length()) : 0, '\0');
    if (!bytes.empty())
        file.Read(bytes.data(), bytes.size());
    return bytes;
}

inline void Write(const wxString& path, const std::string& bytes) {
    wxFFile file(path, "wb");
    file.Write(bytes.data(), bytes.size());
}

inline std::vector<wxString> FilesIn(const wxString& folder) {
    wxArrayString names;
    wxDir::GetAllFiles(folder, &names, wxString(), wxDIR_FILES | wxDIR_HIDDEN);
    names.Sort();
    return {names.begin(), names.end()};
}

// A picture of many colours (so that palette reduction does real work), saved as PNG in the scratch folder.
inline wxImage Ramp(int width, int height, int seed = 0) {
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetRGB(x, y, (x * 255 / width + seed * 20) % 256, y * 255 / height, (x * y + seed * 7) % 256);
    return image;
}

inline wxString RampFile(const wxString& name, int width, int height, int seed = 0) {
    const wxString path = Scratch(name);
    Ramp(width, height, seed).SaveFile(path, wxBITMAP_TYPE_PNG);
    return path;
}

}  // namespace test_files
