// Export sizes the format or the machine cannot hold: refused before the first frame with a reason that
// says what is missing, and allocations that fail give no frame instead of a crash.
#include "window/my_gifhandler/gif_export.h"

#include "cli/cli_run.h"
#include "tests/support/isolated_home.h"
#include "window/my_gifhandler/frame_composition.h"
#include "window/my_gifhandler/palette_image.h"

#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/filename.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

wxString Folder() { return wxString::FromUTF8(IsolatedHomeListener::CurrentHome()); }

wxArrayString FilesIn(const wxString& folder) {
    wxArrayString files;
    wxDir::GetAllFiles(folder, &files, "", wxDIR_FILES | wxDIR_HIDDEN);
    return files;
}

// An address-space limit of what the process uses now plus `extra` bytes, lifted again at the end of the scope.
class MemoryLimit {
public:
    explicit MemoryLimit(rlim_t extra) {
        getrlimit(RLIMIT_AS, &m_previous);
        std::ifstream statm("/proc/self/statm");
        rlim_t pages = 0;
        statm >> pages;
        rlimit limit = m_previous;
        limit.rlim_cur = pages * rlim_t(sysconf(_SC_PAGESIZE)) + extra;
        setrlimit(RLIMIT_AS, &limit);
    }
    ~MemoryLimit() { setrlimit(RLIMIT_AS, &m_previous); }
    MemoryLimit(const MemoryLimit&) = delete;
    MemoryLimit& operator=(const MemoryLimit&) = delete;

private:
    rlimit m_previous{};
};

gif_export::Result ExportBlack(const wxString& path, int width, int height) {
    gif_export::Request request;
    request.path = path;
    request.frameCount = 2;
    request.width = width;
    request.height = height;
    request.delay = 10;
    request.threads = 1;
    return gif_export::Export(request, [](size_t) { return wxImage(2, 200); });
}

}  // namespace

TEST(ExportLimits, SizesBeyondTheFormatOrMemoryAreRefusedBeforeAnyFrame) {
    const wxString target = Folder() + "/kept.gif";
    wxFFile(target, "wb").Write(wxString("earlier"));
    const MemoryLimit limit(rlim_t(600) << 20);
    const struct {
        int width;
        int height;
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
        const gif_export::Result result = ExportBlack(target, c.width, c.height);
        const wxString says = c.says;
        EXPECT_EQ(result.ok, says.empty()) << c.width << " x " << c.height << ": " << result.reason;
        if (says.empty())
            continue;
        EXPECT_TRUE(result.reason.StartsWith(says) || result.reason.Contains(says)) << result.reason;
        EXPECT_FALSE(result.reason.Contains("disc")) << result.reason;
        wxFFile file(target, "rb");
        wxString content;
        file.ReadAll(&content);
        EXPECT_EQ(content, "earlier");
    }
    EXPECT_EQ(FilesIn(Folder()).size(), 1u);  // no temporary left behind
}

TEST(ExportLimits, FailedAllocationsGiveNoImageInsteadOfACrash) {
    wxImage many(2000, 2000);  // thousands of colours: the quantiser's path
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 2000; ++x)
            many.SetRGB(x, y, x % 256, y % 256, (x * y) % 256);
    const wxImage few(2000, 2000);  // black: the exact-colour path
    const MemoryLimit limit(rlim_t(4) << 20);
    EXPECT_FALSE(ComposeExportFrame(few, 20000, 20000).IsOk());
    EXPECT_FALSE(ConvertToPaletteImage(few).IsOk());
    EXPECT_FALSE(ConvertToPaletteImage(many).IsOk());
}

TEST(ExportLimits, TheCommandLineRefusesAProportionalSideBeyondTheFormat) {
    wxImage thin(2, 200);
    ASSERT_TRUE(thin.SaveFile(Folder() + "/thin.png", wxBITMAP_TYPE_PNG));
    std::ostringstream out, err;
    const int status = cli::Main({"-W", "3000", "-o", Folder() + "/wide.gif", Folder() + "/thin.png"}, {out, err, false});
    EXPECT_EQ(status, cli::kFailed);
    EXPECT_NE(err.str().find("3000 x 300000 is larger than a GIF file can hold"), std::string::npos) << err.str();
    EXPECT_FALSE(wxFileName::FileExists(Folder() + "/wide.gif"));
}
