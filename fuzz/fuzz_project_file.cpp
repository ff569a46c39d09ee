// The project reader on arbitrary bytes: it must refuse or read, never crash, hang or grow without bound.
#include "project/project_file.h"

#include <wx/init.h>
#include <wx/log.h>

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static const auto toolkit = std::make_unique<wxInitializer>();
    wxLog::EnableLogging(false);  // complaints about bad input are not findings
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const project_file::ReadResult read = project_file::ReadBytes(reinterpret_cast<const char*>(data), size, "fuzz.xml");
    // What is accepted keeps the promises the callers rely on.
    if (read.ok && (read.contents.width < 1 || read.contents.width > 65535 || read.contents.height < 1 ||
                    read.contents.height > 65535 || read.contents.delay < 0 || read.contents.delay > 65535 ||
                    read.contents.gifPath.find('/') != wxString::npos))
        __builtin_trap();
    if (!read.ok && read.reason.empty())
        __builtin_trap();
    return 0;
}
