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
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/regex.h>
#include <wx/wfstream.h>
#include <wx/xrc/xmlres.h>
#include <wx/zipstrm.h>

#include <sys/stat.h>

#include <csignal>

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
        EXPECT_TRUE(c.missing ? !frame && error.Contains(c.missing) : frame != nullptr) << error;
        if (frame)
            frame->Destroy();
        gui_test::Pump(20);
    }
}

namespace {

// Stands for an icon theme holding one icon, in a size no icon file of ours has.
class OneIconTheme : public wxArtProvider {
protected:
    wxBitmap CreateBitmap(const wxArtID& id, const wxArtClient&, const wxSize&) override {
        return id == "test.Themed" ? wxBitmap(20, 20) : wxNullBitmap;
    }
};

}  // namespace

TEST_F(MainWindowTest, IconsComeFromTheThemeThenFromTheIconFile) {
    EXPECT_EQ(frame->GetIcons().GetIconCount(), 4u);  // the icon file's four sizes: no theme icon in the build tree
    wxArtProvider::Push(new OneIconTheme);
    const wxIconBundle themed = ApplicationIcons("test.Themed", gui_test::BuildDir() + "/Themes/application.ico");
    EXPECT_TRUE(themed.GetIconCount() == 1 && themed.GetIconByIndex(0).GetWidth() == 20);
    wxArtProvider::Pop();  // deletes the theme
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
    const test_files::Ran ran = test_files::Run(
        wxString::Format("env QUINTREL_CRASH_HOW=%s '%s/tests/crashing_app'", GetParam().how, gui_test::BuildDir()).utf8_string());
    EXPECT_EQ(ran.status, 128 + GetParam().signal) << ran.output;
    const std::vector<wxString> pending = test_files::FilesIn(crash_report::PendingFolder());
    ASSERT_EQ(pending.size(), 1u) << ran.output;
    const std::string report = Read(pending[0]);
    for (const std::string& part : {"(signal " + std::to_string(GetParam().signal) + ")", std::string("stack:\n"),
                                    std::string(GetParam().inStack)})
        EXPECT_NE(report.find(part), std::string::npos) << part << " in " << report;

    // The next start, with a file browser that only notes what it was asked to show.
    ASSERT_TRUE(wxMkdir(Scratch("tmp")) && wxMkdir(Scratch("bin")));
    test_files::Write(Scratch("bin/xdg-open"), "#!/bin/sh\nprintf '%s' \"$1\" > '" + Scratch("opened").utf8_string() + "'\n");
    ASSERT_EQ(chmod(Scratch("bin/xdg-open").fn_str(), 0755), 0);
    const wxString path = wxGetenv("PATH");
    wxSetEnv("PATH", Scratch("bin:") + path);
    wxSetEnv("TMPDIR", Scratch("tmp"));
    wxString message;
    wxTEST_DIALOG(EXPECT_EQ(crash_report::ShowPendingReports(crash_report::PendingFolder()), 1),
                  gui_test::ExpectMessage(wxID_OK, &message));
    wxSetEnv("PATH", path);
    wxUnsetEnv("TMPDIR");
    // The message names the folder on a line of its own; the report is packed there, in a folder of its own.
    const wxString folder = message.AfterFirst('\n').AfterFirst('\n').BeforeFirst('\n');
    ASSERT_TRUE(folder.StartsWith(Scratch("tmp/")) && wxDirExists(folder)) << message;
    std::vector<wxString> packed;
    wxZipInputStream zip(new wxFFileInputStream(folder + "/" + wxFileNameFromPath(folder) + ".zip"));
    for (std::unique_ptr<wxZipEntry> entry(zip.GetNextEntry()); entry; entry.reset(zip.GetNextEntry()))
        packed.push_back(entry->GetName());
    EXPECT_EQ(packed, (std::vector<wxString>{"crash.txt", "timestamp.my"}));
    EXPECT_EQ(Read(folder + "/crash.txt"), report);
    EXPECT_TRUE(wxRegEx("^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$").Matches(Read(folder + "/timestamp.my")));
    EXPECT_TRUE(gui_test::PumpUntil([&] { return Read(Scratch("opened")) == folder; }, 10000));
    // Told once: nothing is left to show.
    EXPECT_EQ(crash_report::ShowPendingReports(crash_report::PendingFolder()), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CrashReportsTest,
                         testing::Values(CrashKind{"main", SIGSEGV, "CrashOnPurpose"},
                                         CrashKind{"worker", SIGSEGV, "CrashOnPurpose"},
                                         CrashKind{"overflow", SIGSEGV, "OverflowOnPurpose"},
                                         CrashKind{"abort", SIGABRT, "abort"}),
                         [](const testing::TestParamInfo<CrashKind>& info) { return std::string(info.param.how); });
