#pragma once
// The unsaved work of a running program, kept on disc so that a crash, a kill or a power cut does not lose
// it. Each run writes its own pair of files in the data folder, named after its process id: the work as a
// project file (autosave-<pid>.xml) and the project path it belongs to (autosave-<pid>.project). Both are
// replaced whole, never half-written. A run that ends normally removes them, so files whose process no
// longer runs are work that was not saved.

#include "project/project_file.h"

#include <wx/string.h>

#include <optional>
#include <vector>

struct AutosavedWork {
    project_file::ProjectContents contents;
    wxString projectPath;  // "" for work never opened from or saved to a project
};

class AutosaveFile {
public:
    AutosaveFile(const wxString& folder, long processId);

    // Replaces this run's files; on failure says why in `reason` and the previous files stay.
    bool Write(const AutosavedWork& work, wxString& reason) const;
    void Remove() const;
    bool Exists() const;

    // The work files left in `folder` by runs other than `processId` that no longer run, newest first.
    static std::vector<wxString> LeftOver(const wxString& folder, long processId);
    // The work in one such file; nothing when it cannot be read or lists no frame.
    static std::optional<AutosavedWork> Read(const wxString& workFile);
    // Removes one such file with its project path.
    static void Discard(const wxString& workFile);

private:
    static wxString ProjectPathFileOf(const wxString& workFile);

    wxString m_workFile;
};
