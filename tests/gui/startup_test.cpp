// What a start takes from the installation and from the run before. A layout missing or incomplete ends
// the start cleanly with a message naming what is missing, and junk beside a good layout is ignored. The
// window's icons come from the icon theme when installed, the icon file beside the program otherwise, and
// nothing from a missing or damaged file. A crash on any thread, by stack overflow or by abort leaves a
// report and ends the process at once; the next start packs the report, tells where it is once and shows
// the folder.
#include "tests/support/gui_test.h"

#include "app/crash_report.h"
#include "app/startup.h"
#include "window/application_icon.h"

#include <wx/artprov.h>
#include <wx/dir.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/regex.h>
#include <wx/wfstream.h>
#include <wx/xrc/xmlres.h>
#include <wx/zipstrm.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <map>
#include <set>

using test_files::Read;
using test_files::Scratch;

TEST(StartUp, ABrokenLayoutNamesWhatIsMissingAndJunkBesideAGoodOneIsIgnored) {
    const std::string layout = Read(QUINTREL_SOURCE_DIR "/resources/themes/main_frame.xrc");
    std::string renamed = layout;  // the preview panel under another name
    renamed.replace(renamed.find("\"m_panel2\""), 10, "\"m_panel_other\"");
    const struct {
        const char* name;
        std::vector<std::pair<const char*, std::string>> themes;
        const char* missing;  // nothing: the window starts
    } cases[] = {{"no Themes folder", {}, "MyFrame1"},
                 {"renamed panel", {{"main_frame.xrc", renamed}}, "m_panel2"},
                 {"junk beside", {{"main_frame.xrc", layout}, {"junk.xrc", "<resource><object class="}}, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        delete wxXmlResource::Set(new wxXmlResource);  // each start from its own installation only
        const wxString folder = Scratch(c.name);
        ASSERT_TRUE(wxFileName::Mkdir(folder + (c.themes.empty() ? "" : "/Themes"), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
        for (const auto& [file, text] : c.themes)
            test_files::Write(folder + "/Themes/" + file, text);
        wxLogNull silence;  // the toolkit complains about the junk file, as start-up silences it
        startup::LoadResources(folder);
        wxString error;
        MyFrame* frame = startup::CreateMainWindow(error);
        EXPECT_EQ(frame != nullptr, c.missing == nullptr) << error;
        if (frame)
            frame->Destroy();
        else
            EXPECT_TRUE(error.Contains(c.missing)) << error;
        gui_test::Pump(20);
    }
}

namespace {

std::set<int> Widths(const wxIconBundle& bundle) {
    std::set<int> widths;
    for (size_t i = 0; i < bundle.GetIconCount(); ++i)
        widths.insert(bundle.GetIconByIndex(i).GetWidth());
    return widths;
}

// Stands for an icon theme holding one icon, in two sizes no icon file of ours has.
class OneIconTheme : public wxArtProvider {
protected:
    wxBitmap CreateBitmap(const wxArtID& id, const wxArtClient&, const wxSize&) override {
        return id == "test.Themed" ? wxBitmap(20, 20) : wxNullBitmap;
    }
    wxIconBundle CreateIconBundle(const wxArtID& id, const wxArtClient&) override {
        wxIconBundle bundle;
        for (int size : {20, 40}) {
            wxIcon icon;
            icon.CopyFromBitmap(wxBitmap(size, size));
            bundle.AddIcon(icon);
        }
        return id == "test.Themed" ? bundle : wxIconBundle();
    }
};

}  // namespace

TEST_F(MainWindowTest, IconsComeFromTheThemeThenFromTheIconFile) {
    const wxString file = gui_test::BuildDir() + "/Themes/application.ico";
    EXPECT_EQ(Widths(frame->GetIcons()), (std::set<int>{16, 32, 48, 256}));  // no theme icon in the build tree
    auto* theme = new OneIconTheme;
    wxArtProvider::Push(theme);
    EXPECT_EQ(Widths(ApplicationIcons("test.Themed", file)), (std::set<int>{20, 40}));
    EXPECT_EQ(Widths(ApplicationIcons("test.Missing", file)), (std::set<int>{16, 32, 48, 256}));
    wxArtProvider::Delete(theme);
    test_files::Write(Scratch("damaged.ico"), std::string("\0\0\1\0\x40\0not an icon", 17));
    for (const wxString& bad : {Scratch("damaged.ico"), Scratch("missing.ico")})
        EXPECT_TRUE(ApplicationIcons("test.Missing", bad).IsEmpty()) << bad;
}

struct CrashKind {
    const char* how;
    int signal;
    const char* inStack;  // a function the stack names
};

class CrashReportsTest : public testing::TestWithParam<CrashKind> {};

TEST_P(CrashReportsTest, CrashLeavesAReportThatTheNextStartShowsOnce) {
    // The process ends by the signal itself, without waiting for anyone (the shell reports 128 + signal).
    const int status = std::system(wxString::Format("env QUINTREL_CRASH_HOW=%s '%s/tests/crashing_app' > '%s' 2>&1",
                                                    GetParam().how, gui_test::BuildDir(), Scratch("child.log")).utf8_str());
    const std::string log = Read(Scratch("child.log"));
    ASSERT_TRUE(WIFEXITED(status)) << log;
    EXPECT_EQ(WEXITSTATUS(status), 128 + GetParam().signal) << log;
    const std::vector<wxString> pending = test_files::FilesIn(crash_report::PendingFolder());
    ASSERT_EQ(pending.size(), 1u) << log;
    const std::string report = Read(pending[0]);
    for (const std::string& part : {"(signal " + std::to_string(GetParam().signal) + ")", std::string("stack:\n"),
                                    std::string(GetParam().inStack)})
        EXPECT_NE(report.find(part), std::string::npos) << part << " in " << report;

    // The next start, with a file browser that only notes what it was asked to show.
    ASSERT_TRUE(wxMkdir(Scratch("tmp")) && wxMkdir(Scratch("bin")));
    test_files::Write(Scratch("bin/xdg-open"), "#!/bin/sh\nprintf '%s' \"$1\" > '" + Scratch("opened").utf8_string() + "'\n");
    ASSERT_EQ(chmod(Scratch("bin/xdg-open").fn_str(), 0755), 0);
    wxString path, message;
    wxGetEnv("PATH", &path);
    wxSetEnv("PATH", Scratch("bin:") + path);
    wxSetEnv("TMPDIR", Scratch("tmp"));
    int shown = 0;
    wxTEST_DIALOG(shown = crash_report::ShowPendingReports(crash_report::PendingFolder()),
                  gui_test::ExpectMessage(wxID_OK, &message));
    wxSetEnv("PATH", path);
    wxUnsetEnv("TMPDIR");
    EXPECT_EQ(shown, 1);
    wxString name;
    ASSERT_TRUE(wxDir(Scratch("tmp")).GetFirst(&name, wxEmptyString, wxDIR_DIRS));
    const wxString folder = Scratch("tmp/" + name);
    EXPECT_TRUE(message.Contains("\n" + folder + "\n")) << message;
    std::map<wxString, wxString> entries;  // name: comment
    wxFFileInputStream file(folder + "/" + name + ".zip");
    wxZipInputStream zip(file);
    for (std::unique_ptr<wxZipEntry> entry(zip.GetNextEntry()); entry; entry.reset(zip.GetNextEntry()))
        entries[entry->GetName()] = entry->GetComment();
    EXPECT_EQ(entries, (std::map<wxString, wxString>{{"crash.txt", "signal and stack of the crash"},
                                                     {"timestamp.my", "timestamp of this report"}}));
    EXPECT_EQ(Read(folder + "/crash.txt"), report);
    EXPECT_TRUE(wxRegEx("^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$").Matches(Read(folder + "/timestamp.my")));
    EXPECT_TRUE(gui_test::PumpUntil([&] { return Read(Scratch("opened")) == folder; }, 10000));
    // Told once: nothing is left to show, and files that are not reports are left alone.
    test_files::Write(crash_report::PendingFolder() + "/notes.txt", "x");
    EXPECT_EQ(crash_report::ShowPendingReports(crash_report::PendingFolder()), 0);
    EXPECT_EQ(test_files::FilesIn(crash_report::PendingFolder()).size(), 1u);
    EXPECT_EQ(crash_report::ShowPendingReports(Scratch("none")), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CrashReportsTest,
                         testing::Values(CrashKind{"main", SIGSEGV, "CrashOnPurpose"},
                                         CrashKind{"worker", SIGSEGV, "CrashOnPurpose"},
                                         CrashKind{"overflow", SIGSEGV, "OverflowOnPurpose"},
                                         CrashKind{"abort", SIGABRT, "abort"}),
                         [](const testing::TestParamInfo<CrashKind>& info) { return std::string(info.param.how); });
