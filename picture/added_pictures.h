#pragma once
// The pictures of an export, read again from their files on the export's worker threads. A file that
// changed or vanished since it was added stops the export and is named: the GIF is never written
// with a picture other than the one that was added and shown, and keeping every full picture in
// memory instead would make memory grow with the frames.

#include "picture/picture_intake.h"

#include <wx/image.h>
#include <wx/string.h>

#include <mutex>
#include <vector>

class AddedPictures {
public:
    struct File {
        wxString path;
        picture_intake::FileStamp stamp;  // as the file was when added
    };

    explicit AddedPictures(std::vector<File> files) : m_files(std::move(files)) {}

    size_t Count() const { return m_files.size(); }

    // The picture of frame `index`; invalid, with the failure recorded, when its file is no longer
    // the one added. Safe to call from several threads at once.
    wxImage Read(size_t index);

    bool Failed() const;
    // "path: reason" of the first failure in frame order.
    wxString FailureText() const;

private:
    const std::vector<File> m_files;
    mutable std::mutex m_mutex;
    size_t m_failedIndex = 0;
    picture_intake::Outcome m_failure;  // Refusal::None while nothing failed
};
