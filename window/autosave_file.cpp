#include "window/autosave_file.h"

#include "app/replacing_file.h"

#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

#include <algorithm>
#include <cerrno>
#include <csignal>

namespace {

constexpr const char* kPrefix = "autosave-";
constexpr const char* kWorkExtension = ".xml";
constexpr const char* kProjectPathExtension = ".project";
// A project path longer than any the system allows is no project path.
constexpr wxFileOffset kMaxProjectPathBytes = 64 * 1024;

bool IsRunning(long processId) {
    return processId > 0 && (kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM);
}

// The process id in "autosave-<pid>.xml", or 0 when the name is not one of ours.
long ProcessIdOf(const wxString& workFile) {
    wxString digits;
    if (!wxFileName(workFile).GetFullName().StartsWith(kPrefix, &digits) ||
        !digits.EndsWith(kWorkExtension, &digits) || digits.empty() || !digits.IsNumber())
        return 0;
    long processId = 0;
    return digits.ToLong(&processId) && processId > 0 ? processId : 0;
}

}  // namespace

AutosaveFile::AutosaveFile(const wxString& folder, long processId)
    : m_workFile(wxString::Format("%s/%s%ld%s", folder, kPrefix, processId, kWorkExtension)) {}

wxString AutosaveFile::ProjectPathFileOf(const wxString& workFile) {
    wxString stem;
    workFile.EndsWith(kWorkExtension, &stem);
    return stem + kProjectPathExtension;
}

bool AutosaveFile::Write(const AutosavedWork& work, wxString& reason) const {
    ReplacingFile projectPath;
    if (!projectPath.Open(ProjectPathFileOf(m_workFile), reason))
        return false;
    const wxScopedCharBuffer bytes = work.projectPath.utf8_str();
    projectPath.Stream().Write(bytes.data(), bytes.length());
    if (!projectPath.Stream().IsOk()) {
        reason = projectPath.WriteFailure();
        return false;
    }
    const project_file::SaveResult saved = project_file::Save(m_workFile, work.contents);
    if (!saved.ok) {
        reason = saved.reason;
        return false;
    }
    return projectPath.Commit(reason);
}

void AutosaveFile::Remove() const { Discard(m_workFile); }

bool AutosaveFile::Exists() const { return wxFileExists(m_workFile); }

std::vector<wxString> AutosaveFile::LeftOver(const wxString& folder, long processId) {
    wxArrayString found;
    {
        wxLogNull quiet;
        if (wxDirExists(folder))
            wxDir::GetAllFiles(folder, &found, wxString(kPrefix) + "*" + kWorkExtension, wxDIR_FILES);
    }
    std::vector<std::pair<time_t, wxString>> files;
    for (const wxString& file : found) {
        const long owner = ProcessIdOf(file);
        if (owner != 0 && owner != processId && !IsRunning(owner))
            files.emplace_back(wxFileModificationTime(file), file);
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<wxString> newestFirst;
    for (const auto& file : files)
        newestFirst.push_back(file.second);
    return newestFirst;
}

std::optional<AutosavedWork> AutosaveFile::Read(const wxString& workFile) {
    wxLogNull quiet;  // a damaged or missing file is simply no work to offer
    project_file::ReadResult read = project_file::Read(workFile);
    if (!read.ok || read.contents.imagePaths.empty())
        return std::nullopt;
    AutosavedWork work;
    work.contents = std::move(read.contents);
    wxFFile projectPath(ProjectPathFileOf(workFile), "rb");
    if (projectPath.IsOpened() && projectPath.Length() <= kMaxProjectPathBytes) {
        wxString text;
        if (projectPath.ReadAll(&text, wxConvUTF8))
            work.projectPath = text;
    }
    return work;
}

void AutosaveFile::Discard(const wxString& workFile) {
    wxLogNull quiet;  // either file may never have been written
    if (wxFileExists(workFile))
        wxRemoveFile(workFile);
    if (wxFileExists(ProjectPathFileOf(workFile)))
        wxRemoveFile(ProjectPathFileOf(workFile));
}
