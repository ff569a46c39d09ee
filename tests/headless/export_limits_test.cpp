// Export sizes the format or the machine cannot hold: refused before the first frame with a reason that
// says what is missing, and allocations that fail give no image instead of a crash.
#include "cli/cli_run.h"
#include "tests/support/files.h"
#include "window/my_gifhandler/frame_composition.h"
#include "window/my_gifhandler/gif_export.h"
#include "window/my_gifhandler/palette_image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using test_files::Scratch;

// An address-space limit of what the process uses now plus `extra` bytes, lifted again at the end of the scope.
class MemoryLimit {
public:
    explicit MemoryLimit(rlim_t extra) {
        getrlimit(RLIMIT_AS, &m_previous);
        rlim_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit limit = m_previous;
        limit.rlim_cur = pages * rlim_t(sysconf(_SC_PAGESIZE)) + extra;
        setrlimit(RLIMIT_AS, &limit);
    }
    ~MemoryLimit() { setrlimit(RLIMIT_AS, &m_previous); }

private:
    rlimit m_previous{};
};

}  // namespace

TEST(ExportLimits, SizesBeyondTheFormatOrMemoryAreRefusedBeforeAnyFrame) {
    test_files::Write(Scratch("kept.gif"), "earlier");
    const MemoryLimit limit(rlim_t(600) << 20);
    const struct {
        int width, height;
        const char* says;  // empty: written
    } cases[] = {
        {30000, 30000, "Not enough memory for a 30000 x 30000 canvas."},
        {3000, 300000, "3000 x 300000 is larger than a GIF file can hold"},
        {65536, 10, "65536 x 10 is larger than a GIF file can hold"},
        {65535, 65535, "65535 x 65535 is larger than a GIF file can hold"},
        {10000, 10000, "Not enough memory for a 10000 x 10000 canvas."},
        {300, 200, ""},
    };
    for (const auto& c : cases) {
        const gif_export::Request request{Scratch("kept.gif"), 2, c.width, c.height, 10, 1};
        const gif_export::Result result = gif_export::Export(request, [](size_t) { return wxImage(2, 200); });
        EXPECT_EQ(result.ok, *c.says == '\0') << c.width << " x " << c.height << ": " << result.reason;
        if (*c.says) {
            EXPECT_TRUE(result.reason.Contains(c.says) && !result.reason.Contains("disc")) << result.reason;
            EXPECT_EQ(test_files::Read(Scratch("kept.gif")), "earlier");
        }
    }
    EXPECT_EQ(test_files::FilesIn(Scratch()).size(), 1u);  // no temporary left behind
}

TEST(ExportLimits, FailedAllocationsGiveNoImageInsteadOfACrash) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's own allocator needs room beyond any address-space limit; the plain build runs this.
    GTEST_SKIP() << "an address-space limit stops AddressSanitizer itself";
#endif
    const wxImage many = test_files::Ramp(2000, 2000);  // thousands of colours: the quantiser's path
    const wxImage few(2000, 2000);                      // black: the exact-colour path
    const MemoryLimit limit(rlim_t(4) << 20);
    EXPECT_FALSE(ComposeExportFrame(few, 20000, 20000).IsOk());
    EXPECT_FALSE(ConvertToPaletteImage(few).IsOk());
    EXPECT_FALSE(ConvertToPaletteImage(many).IsOk());
}

TEST(ExportLimits, TheCommandLineRefusesAProportionalSideBeyondTheFormat) {
    ASSERT_TRUE(wxImage(2, 200).SaveFile(Scratch("thin.png"), wxBITMAP_TYPE_PNG));
    std::ostringstream out, err;
    EXPECT_EQ(cli::Main({"-W", "3000", "-o", Scratch("wide.gif"), Scratch("thin.png")}, {out, err, false}), cli::kFailed);
    EXPECT_NE(err.str().find("3000 x 300000 is larger than a GIF file can hold"), std::string::npos) << err.str();
    EXPECT_FALSE(wxFileExists(Scratch("wide.gif")));
}
