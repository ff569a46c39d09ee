// A crash on any thread, by stack overflow or by abort leaves a report and ends the process at once; the
// next start packs the report and tells where it is.
#include "tests/support/gui_test.h"
#include "tests/support/isolated_home.h"

#include "app/crash_report.h"

#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
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

wxString ReadText(const wxString& path) {
    wxString text;
    if (!wxFileExists(path))
        return text;
    wxFFile file(path, "rb");
    if (file.IsOpened())
        file.ReadAll(&text, wxConvUTF8);
    return text;
}

wxArrayString FilesIn(const wxString& folder, const wxString& pattern = wxString()) {
    wxArrayString names;
    if (wxDirExists(folder))
        wxDir::GetAllFiles(folder, &names, pattern, wxDIR_FILES);
    names.Sort();
    return names;
}

std::map<wxString, wxString> EntriesOfZip(const wxString& path) {
    std::map<wxString, wxString> entries;
    wxFFileInputStream file(path);
    wxZipInputStream zip(file);
    for (std::unique_ptr<wxZipEntry> entry(zip.GetNextEntry()); entry; entry.reset(zip.GetNextEntry()))
        entries[entry->GetName()] = entry->GetComment();
    return entries;
}

// Records the message of the one message box shown.
class RecordMessage : public wxExpectModalBase<wxMessageDialog, RecordMessage> {
public:
    explicit RecordMessage(wxString* message) : m_message(message) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override {
        *m_message = dialog->GetMessage();
        return wxID_OK;
    }

private:
    wxString* m_message;
};

struct CrashKind {
    const char* how;
    int signal;
    const char* inStack;  // a function the stack names
};

class CrashReportsTest : public testing::TestWithParam<CrashKind> {
protected:
    void SetUp() override {
        home = wxString::FromUTF8(IsolatedHomeListener::CurrentHome());
        temp = home + "/tmp";
        ASSERT_TRUE(wxFileName::Mkdir(temp) && wxFileName::Mkdir(home + "/bin"));
        // The file browser is a script that only notes what it was asked to show.
        opened = home + "/opened.txt";
        const wxString browser = home + "/bin/xdg-open";
        {
            wxFFile script(browser, "w");
            ASSERT_TRUE(script.IsOpened());
            script.Write("#!/bin/sh\nprintf '%s' \"$1\" > '" + opened + "'\n");
        }
        ASSERT_EQ(chmod(browser.utf8_str(), 0755), 0);
    }

    // Runs the crashing program with this test's home; returns the shell's status of it.
    int RunCrashing(const char* how) {
        const wxString command = wxString::Format(
            "env QUINTREL_CRASH_HOW=%s '%s/tests/crashing_app' > '%s/child.log' 2>&1", how, gui_test::BuildDir(),
            home);
        return std::system(command.utf8_str());
    }

    wxString home, temp, opened;
};

TEST_P(CrashReportsTest, CrashLeavesAReportThatTheNextStartShows) {
    const int status = RunCrashing(GetParam().how);
    const wxString childLog = ReadText(home + "/child.log");
    // The process ended by the signal itself, without waiting for anyone (the shell reports 128 + signal).
    ASSERT_TRUE(WIFEXITED(status)) << childLog;
    EXPECT_EQ(WEXITSTATUS(status), 128 + GetParam().signal) << childLog;

    const wxString pendingFolder = crash_report::PendingFolder();
    const wxArrayString pending = FilesIn(pendingFolder, "crash-*.txt");
    ASSERT_EQ(pending.size(), 1u) << childLog;
    const wxString text = ReadText(pending[0]);
    EXPECT_TRUE(text.Contains(wxString::Format("(signal %d)", GetParam().signal))) << text;
    EXPECT_TRUE(text.Contains("stack:\n")) << text;
    EXPECT_TRUE(text.Contains(GetParam().inStack)) << text;

    // The next start: one message naming the report folder, which holds the archive and is shown.
    wxSetEnv("TMPDIR", temp);
    wxString path;
    wxGetEnv("PATH", &path);
    wxSetEnv("PATH", home + "/bin:" + path);
    wxString message;
    int shown = 0;
    wxTEST_DIALOG(shown = crash_report::ShowPendingReports(pendingFolder), RecordMessage(&message));
    wxSetEnv("PATH", path);
    wxUnsetEnv("TMPDIR");
    EXPECT_EQ(shown, 1);

    wxDir tempDir(temp);
    wxString folderName;
    ASSERT_TRUE(tempDir.GetFirst(&folderName, wxEmptyString, wxDIR_DIRS));
    const wxString folder = temp + "/" + folderName;
    EXPECT_EQ(message,
              "Application have crashed due to some unknown reasons,\nPlease email the zip crashing report file that "
              "is generated in \n" +
                  folder + "\n to us.");
    const std::map<wxString, wxString> entries = EntriesOfZip(folder + "/" + folderName + ".zip");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries.count("crash.txt"), 1u);
    ASSERT_EQ(entries.count("timestamp.my"), 1u);
    EXPECT_EQ(entries.at("timestamp.my"), "timestamp of this report");
    EXPECT_EQ(ReadText(folder + "/crash.txt"), text);
    EXPECT_TRUE(wxRegEx("^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$")
                    .Matches(ReadText(folder + "/timestamp.my")));
    EXPECT_TRUE(gui_test::PumpUntil([&] { return !ReadText(opened).empty(); }, 10000));
    EXPECT_EQ(ReadText(opened), folder);

    // Told once: the start after that has nothing to show.
    EXPECT_TRUE(FilesIn(pendingFolder).empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, CrashReportsTest,
                         testing::Values(CrashKind{"main", SIGSEGV, "CrashOnPurpose"},
                                         CrashKind{"worker", SIGSEGV, "CrashOnPurpose"},
                                         CrashKind{"overflow", SIGSEGV, "OverflowOnPurpose"},
                                         CrashKind{"abort", SIGABRT, "abort"}),
                         [](const testing::TestParamInfo<CrashKind>& info) { return std::string(info.param.how); });

TEST(CrashReports, NothingPendingShowsNothing) {
    const wxString folder = wxString::FromUTF8(IsolatedHomeListener::CurrentHome()) + "/none";
    EXPECT_EQ(crash_report::ShowPendingReports(folder), 0);
    ASSERT_TRUE(wxFileName::Mkdir(folder));
    // Files that are not reports are left alone.
    wxFFile(folder + "/notes.txt", "w").Write("x");
    EXPECT_EQ(crash_report::ShowPendingReports(folder), 0);
    EXPECT_EQ(FilesIn(folder).size(), 1u);
}

}  // namespace
