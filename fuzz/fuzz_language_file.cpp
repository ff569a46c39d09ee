// The stored interface language ("language.txt" in the data folder) on arbitrary bytes.
#include "app/paths.h"

#include <wx/ffile.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {
wxString LanguageFile() { return paths::DataFolder() + "/language.txt"; }
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A home of its own in memory, so the data folder is a scratch folder and the disc no bottleneck.
    static std::string home = "/dev/shm/fuzz_language_file-" + std::to_string(getpid());
    mkdir(home.c_str(), 0700);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    static const auto toolkit = std::make_unique<wxInitializer>();
    wxLog::EnableLogging(false);  // complaints about bad input are not findings
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        wxFFile file(LanguageFile(), "wb");
        if (!file.IsOpened())
            return 0;
        file.Write(data, size);
    }
    paths::ReadLanguage();
    return 0;
}
