#pragma once
// Scratch files for tests. Every test runs with a HOME of its own, which is also its scratch folder.

#include "tests/support/isolated_home.h"

#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/image.h>

#include <sys/wait.h>

#include <cstdio>
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

inline std::string Repeat(const std::string& piece, size_t times) {
    std::string all;
    for (size_t i = 0; i < times; ++i)
        all += piece;
    return all;
}

struct Ran {
    int status;  // -1 when the command did not exit
    std::string output;  // standard output and error together
};

inline Ran Run(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    std::string output;
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    const int status = pipe ? pclose(pipe) : -1;
    return {status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
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
