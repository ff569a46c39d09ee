#pragma once
// Saving without ever destroying what was there: the bytes go to a temporary file beside the target,
// which is renamed over the target only when every byte is on disc. Destroyed without a Commit, the
// temporary file is removed and an existing target keeps its content. The temporary file is hidden and
// named ".<target>.quintrel-<pid>.tmp"; those that killed processes left behind in the folder are
// removed when the next one is opened there.

#include <wx/stream.h>
#include <wx/string.h>

#include <memory>
#include <string>

class ReplacingFile {
public:
    ReplacingFile();
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Refuses folders, read-only files and places where no file can be made, with a reason naming the file.
    bool Open(const wxString& target, wxString& reason);

    // Where the bytes go; a write that stops short leaves the stream in error (see WriteFailure).
    wxOutputStream& Stream();

    // Syncs, keeps the replaced file's permissions and renames over the target.
    bool Commit(wxString& reason);

    // The reason for the stream's last failed write.
    wxString WriteFailure() const;

    // The target as it was given to Open.
    const wxString& Target() const { return m_target; }

private:
    class DescriptorStream;

    wxString m_target;       // as the user named it, for messages
    std::string m_realTarget;  // a link is followed, so the file it points to is replaced
    std::string m_temporary;
    int m_mode = 0666;
    bool m_replacing = false;
    std::unique_ptr<DescriptorStream> m_stream;
};
