#pragma once
// The second half of a crash report, done at the next start: what the crashed run left in its pending
// folder (crash_guard.h) becomes a compressed report the user can send us.

#include <wx/string.h>

namespace crash_report {

// The folder where the handler leaves its text files: inside the data folder.
wxString PendingFolder();

// For each text file a crashed run left in `pendingFolder`: packs it with a time stamp into an archive in
// a report folder of its own, tells the user where it is, opens that folder, and removes the text file.
// Returns how many reports were made.
int ShowPendingReports(const wxString& pendingFolder);

}  // namespace crash_report
