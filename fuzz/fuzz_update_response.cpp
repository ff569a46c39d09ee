// The update server's reply on arbitrary bytes: the version it names, and that version compared with ours.
#include "app/paths.h"
#include "app/update_check.h"

#include <wx/init.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static const auto toolkit = std::make_unique<wxInitializer>();
    wxLog::EnableLogging(false);  // complaints about bad input are not findings
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    wxMemoryInputStream stream(data, size);
    const wxString newest = ReadNewestVersion(stream);
    const int order = CompareVersions(newest, paths::Version());
    // Comparing is antisymmetric whatever the text.
    if ((order > 0) != (CompareVersions(paths::Version(), newest) < 0))
        __builtin_trap();
    return 0;
}
