// A crash on any thread, by stack overflow or by abort leaves a report and ends the process at once; the
// next start packs the report, tells where it is once and shows the folder.
#include "tests/support/gui_test.h"

#include "app/crash_report.h"

#include <wx/dir.h>
#include <wx/regex.h>
#include <wx/utils.h>
#include <wx/wfstream.h>
#include <wx/zipstrm.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

using test_files::Read;
using test_files::Scratch;

struct CrashKind {
    const char* how;
    int signal;
    const char* inStack;  // a function the stack names
};

class CrashReportsTest : public testing::TestWithParam<CrashKind> {};

TEST_P(CrashReportsTest, CrashLeavesAReportThatTheNextStartShows) {
    // The process ends by the signal itself, without waiting for anyone (the shell reports 128 + signal).
    const int status = std::system(wxString::Format("env QUINTREL_CRASH_HOW=%s '%s/tests/crashing_app' > '%s' 2>&1",
                                                    GetParam().how, gui_test::BuildDir(), Scratch("child.log")).utf8_str());
    ASSERT_TRUE(WIFEXITED(status)) << Read(Scratch("child.log"));
    EXPECT_EQ(WEXITSTATUS(status), 128 + GetParam().signal) << Read(Scratch("child.log"));
    const std::vector<wxString> pending = test_files::FilesIn(crash_report::PendingFolder());
    ASSERT_EQ(pending.size(), 1u) << Read(Scratch("child.log"));
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
    EXPECT_TRUE(gui_test::PumpUntil([&] { return wxFileExists(Scratch("opened")) && Read(Scratch("opened")) == folder; }, 10000));
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

}  // namespace
