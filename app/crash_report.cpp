#include "app/crash_report.h"

#include "app/paths.h"

#include <wx/datetime.h>
#include <wx/debugrpt.h>
#include <wx/ffile.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>

void WriteCrashReport() {
    wxDebugReportCompress report;
    report.AddAll(wxDebugReport::Context_Exception);
    const wxString folder = report.GetDirectory();

    wxFFile stamp(folder + "/timestamp.my", "w");
    if (stamp.IsOpened()) {
        const wxDateTime now = wxDateTime::Now();
        stamp.Write(now.FormatISODate() + " " + now.FormatISOTime());
        stamp.Close();
    }
    report.SetCompressedFileDirectory(folder);
    report.AddFile("timestamp.my", "timestamp of this report");

    wxString message = wxGetTranslation(
        "Application have crashed due to some unknown reasons,\nPlease email the zip crashing report file that is "
        "generated in \n%s\n to us.");
    message.Replace("%s", folder);

    if (!report.Process())
        return;  // the report removes its files; there is nothing to show
    wxMessageBox(message, wxMessageBoxCaptionStr, wxOK | wxCENTRE);
    paths::OpenFolderInFileBrowser(folder);
    report.Reset();  // keeps the folder and its files when the report goes
}
