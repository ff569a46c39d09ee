// A copy of the program that crashes on purpose must leave its report behind and say where it is.
#include "tests/support/gui_test.h"
#include "tests/support/isolated_home.h"

#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/regex.h>
#include <wx/wfstream.h>
#include <wx/zipstrm.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <set>

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

std::set<wxString> FilesIn(const wxString& folder) {
    std::set<wxString> names;
    wxDir dir(folder);
    wxString name;
    for (bool more = dir.IsOpened() && dir.GetFirst(&name, wxEmptyString, wxDIR_FILES); more; more = dir.GetNext(&name))
        names.insert(name);
    return names;
}

// Entry names with their comments, which carry the descriptions the report gave its files.
std::map<wxString, wxString> EntriesOfZip(const wxString& path) {
    std::map<wxString, wxString> entries;
    wxFFileInputStream file(path);
    wxZipInputStream zip(file);
    for (std::unique_ptr<wxZipEntry> entry(zip.GetNextEntry()); entry; entry.reset(zip.GetNextEntry()))
        entries[entry->GetName()] = entry->GetComment();
    return entries;
}

}  // namespace

TEST(CrashReport, CrashLeavesTheReportFolderAndTellsWhereItIs) {
    const wxString home = wxString::FromUTF8(IsolatedHomeListener::CurrentHome());
    const wxString temp = home + "/tmp";
    const wxString bin = home + "/bin";
    ASSERT_TRUE(wxFileName::Mkdir(temp) && wxFileName::Mkdir(bin));
    const wxString messageFile = home + "/message.txt";
    const wxString openedFile = home + "/opened.txt";
    const wxString log = home + "/child.log";

    // The child's file browser is a script that only notes what it was asked to show.
    const wxString browser = bin + "/xdg-open";
    {
        wxFFile script(browser, "w");
        ASSERT_TRUE(script.IsOpened());
        script.Write("#!/bin/sh\nprintf '%s' \"$1\" > '" + openedFile + "'\n");
    }
    ASSERT_EQ(chmod(browser.utf8_str(), 0755), 0);

    const wxString command = wxString::Format(
        "env TMPDIR='%s' PATH='%s':\"$PATH\" QUINTREL_CRASH_MESSAGE_FILE='%s' '%s/tests/crashing_app' > '%s' 2>&1",
        temp, bin, messageFile, gui_test::BuildDir(), log);
    const int status = std::system(command.utf8_str());
    const wxString childLog = ReadText(log);
    ASSERT_NE(status, -1);
    // It did not end normally: the toolkit ends the process after the report.
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << childLog;

    // One report folder in the temporary folder.
    wxDir tempDir(temp);
    wxString folderName;
    ASSERT_TRUE(tempDir.GetFirst(&folderName, wxEmptyString, wxDIR_DIRS)) << childLog;
    const wxString folder = temp + "/" + folderName;
    wxString other;
    EXPECT_FALSE(tempDir.GetNext(&other)) << other;

    // The toolkit's context file, the time stamp, and the archive named after the folder.
    const wxString archive = folderName + ".zip";
    EXPECT_EQ(FilesIn(folder), (std::set<wxString>{"crashing_app.xml", "timestamp.my", archive})) << childLog;

    // The time stamp: ISO date, a blank, ISO time, no line end.
    const wxString stamp = ReadText(folder + "/timestamp.my");
    EXPECT_TRUE(wxRegEx("^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$").Matches(stamp)) << stamp;

    // The archive holds the report's files with their descriptions.
    const std::map<wxString, wxString> entries = EntriesOfZip(folder + "/" + archive);
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries.count("crashing_app.xml"), 1u);
    ASSERT_EQ(entries.count("timestamp.my"), 1u);
    EXPECT_EQ(entries.at("timestamp.my"), "timestamp of this report");

    // The context names the exception and, through the exported symbols, our own crashing function.
    const wxString context = ReadText(folder + "/crashing_app.xml");
    EXPECT_TRUE(context.Contains("<stack>")) << context;
    EXPECT_TRUE(context.Contains("CrashOnPurpose()")) << context;

    // The message names the folder on a line of its own; the folder is shown in the file browser.
    EXPECT_EQ(ReadText(messageFile),
              "Application have crashed due to some unknown reasons,\nPlease email the zip crashing report file that "
              "is generated in \n" +
                  folder + "\n to us.");
    // The browser is started without waiting for it: give it a moment to note its folder.
    EXPECT_TRUE(gui_test::PumpUntil([&] { return !ReadText(openedFile).empty(); }, 10000));
    EXPECT_EQ(ReadText(openedFile), folder);
}
