// Any bytes given to the picture intake end as a picture within the limit or as a refusal.
#include "picture/picture_intake.h"

#include <wx/image.h>
#include <wx/init.h>
#include <wx/mstream.h>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static wxInitializer initializer;
    if (!initializer.IsOk())
        std::abort();
    wxInitAllImageHandlers();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    wxMemoryInputStream stream(data, size);
    const picture_intake::Outcome outcome = picture_intake::Decode(stream);
    if (outcome.Taken() && (outcome.picture.GetWidth() > picture_intake::kMaxSide ||
                            outcome.picture.GetHeight() > picture_intake::kMaxSide))
        std::abort();
    return 0;
}
