#include "app/paths.h"

#include <wx/app.h>
#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include <climits>

namespace paths {
namespace {

wxString CutBeforeLastSlash(const wxString& path) {
    const int slash = path.Find('/', true);
    return slash == wxNOT_FOUND ? wxString() : path.Left(slash);
}

wxString WithForwardSlashes(wxString path) {
    path.Replace("\\", "/");
    return path;
}

void MakeFolder(const wxString& folder) {
    // A folder that cannot be made (no home folder, a file in the way) is the caller's to live with; the
    // toolkit's complaint would otherwise open a dialog at the next idle time.
    wxLogNull quiet;
    if (!folder.empty() && !wxDirExists(folder))
        wxMkdir(folder, 0777);
}

wxString LanguageFilePath() { return DataFolder() + "/language.txt"; }

}  // namespace

wxString ProgramFolderOf(const wxString& executablePath) {
    return CutBeforeLastSlash(WithForwardSlashes(executablePath));
}

wxString ParentFolderOf(const wxString& folder) { return CutBeforeLastSlash(folder); }

wxString ExecutablePath() {
    // argv[0] is often a bare name found through PATH; the system knows the real path.
    wxString path = wxStandardPaths::Get().GetExecutablePath();
    if (path.empty() && wxTheApp && wxTheApp->argc > 0)
        path = wxTheApp->argv[0];
    return path;
}

wxString ProgramFolder() { return ProgramFolderOf(ExecutablePath()); }

wxString InstallationFolder() { return ParentFolderOf(ProgramFolder()); }

wxString DocumentsFolder() { return WithForwardSlashes(wxStandardPaths::Get().GetDocumentsDir()); }

wxString DataFolder() {
    const wxString company = DocumentsFolder() + "/" + CompanyName() + " files";
    MakeFolder(company);
    const wxString folder = company + "/" + DisplayName();
    MakeFolder(folder);
    return folder;
}

wxString CompanyName() { return "Quintrel"; }

wxString DisplayName() {
    wxString name = "Quintrel+Tavelle";
    name.Replace("+", " ");
    return name;
}

wxString Version() { return "1.2.6"; }

int ParseLeadingInt(const wxString& text) {
    auto it = text.begin();
    while (it != text.end() && (*it == ' ' || *it == '\t' || *it == '\n' || *it == '\r' || *it == '\v' ||
                                *it == '\f'))
        ++it;
    bool negative = false;
    if (it != text.end() && (*it == '+' || *it == '-')) {
        negative = *it == '-';
        ++it;
    }
    long long value = 0;
    for (; it != text.end() && *it >= '0' && *it <= '9'; ++it) {
        value = value * 10 + (static_cast<wxChar>(*it) - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;  // saturate instead of overflowing
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int ReadLanguage() {
    const wxString path = LanguageFilePath();
    if (!wxFileExists(path)) {
        WriteLanguage(58);  // wxLANGUAGE_ENGLISH
        return 58;
    }
    wxFFile file(path, "rb");
    if (!file.IsOpened())
        return 0;
    char bytes[9] = {};
    const size_t count = file.Read(bytes, 8);
    return ParseLeadingInt(wxString(bytes, wxConvLibc, count));
}

void WriteLanguage(int language) {
    wxFFile file(LanguageFilePath(), "wb");
    if (file.IsOpened())
        file.Write(wxString::Format("%d", language));
}

void OpenFolderInFileBrowser(const wxString& folder) {
    wxLaunchDefaultApplication(folder);
}

}  // namespace paths
