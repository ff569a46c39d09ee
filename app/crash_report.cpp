#include "app/crash_report.h"

#include "app/crash_guard.h"
#include "app/paths.h"

#include <wx/datetime.h>
#include <wx/debugrpt.h>
#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

namespace {

constexpr const char* kStackFile = "crash.txt";

// Makes the archive of one pending file; returns the report folder, or "" when it could not be made.
wxString PackReport(const wxString& pendingFile) {
    wxDebugReportCompress report;
    const wxString folder = report.GetDirectory();
    if (!wxCopyFile(pendingFile, folder + "/" + kStackFile))
        return wxString();
    report.AddFile(kStackFile, "signal and stack of the crash");

    // The crash happened when its file was written, not now.
    wxFFile stamp(folder + "/timestamp.my", "w");
    if (stamp.IsOpened()) {
        const wxDateTime when(wxFileModificationTime(pendingFile));
        stamp.Write(when.FormatISODate() + " " + when.FormatISOTime());
        stamp.Close();
    }
    report.SetCompressedFileDirectory(folder);
    report.AddFile("timestamp.my", "timestamp of this report");
    if (!report.Process())
        return wxString();  // the report removes its files
    report.Reset();  // keeps the folder and its files when the report goes
    return folder;
}

}  // namespace

namespace crash_report {

wxString PendingFolder() { return paths::DataFolder() + "/crash reports"; }

int ShowPendingReports(const wxString& pendingFolder) {
    wxArrayString pending;
    {
        wxLogNull quiet;  // no pending folder is the usual case
        if (wxDirExists(pendingFolder))
            wxDir::GetAllFiles(pendingFolder, &pending, wxString(crash_guard::kReportPrefix) + "*.txt", wxDIR_FILES);
    }
    pending.Sort();
    int shown = 0;
    for (const wxString& file : pending) {
        const wxString folder = PackReport(file);
        // Reported or not, a pending file is dealt with once: a broken one must not come back every start.
        wxRemoveFile(file);
        if (folder.empty())
            continue;
        wxString message = wxGetTranslation(
            "Application have crashed due to some unknown reasons,\nPlease email the zip crashing report file that "
            "is generated in \n%s\n to us.");
        message.Replace("%s", folder);
        wxMessageBox(message, wxMessageBoxCaptionStr, wxOK | wxCENTRE);
        paths::OpenFolderInFileBrowser(folder);
        ++shown;
    }
    return shown;
}

}  // namespace crash_report
