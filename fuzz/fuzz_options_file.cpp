// The options file of web addresses on arbitrary bytes.
#include "app/domain_option.h"

#include <wx/ffile.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unistd.h>

namespace {
// In memory: with a file on disc the disc is what gets measured.
wxString OptionsPath() { return wxString::Format("/dev/shm/fuzz_options_file-%d.cfg", static_cast<int>(getpid())); }
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static const auto toolkit = std::make_unique<wxInitializer>();
    wxLog::EnableLogging(false);  // complaints about bad input are not findings
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const wxString path = OptionsPath();
    {
        wxFFile file(path, "wb");
        if (!file.IsOpened())
            return 0;
        file.Write(data, size);
    }
    DomainOption option(path);
    if (option.Read() && !option.UpdateDocument().EndsWith("-update.xml"))
        __builtin_trap();
    return 0;
}
