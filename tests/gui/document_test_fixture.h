#pragma once
// A main window with pictures on disk and shortcuts to the state the saving and closing tests look at.

#include "tests/gui/document_dialogs.h"
#include "tests/support/isolated_home.h"

#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/app.h>
#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <vector>

// A disk that fills up after `bytes` bytes of any one file: writes past that fail with EFBIG. Each test runs
// in a process of its own, and the limit is lifted again at the end of the scope.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

class DocumentTest : public MainWindowTest {
protected:
    // A folder of this test's own.
    wxString Folder() const { return wxString::FromUTF8(IsolatedHomeListener::CurrentHome()) + "/work"; }

    void SetUp() override {
        MainWindowTest::SetUp();
        wxMkdir(Folder());
    }

    // Pictures of distinct colours and the given sizes, added as Add Image adds them.
    wxArrayString AddPictures(const std::vector<wxSize>& sizes) {
        wxArrayString paths;
        for (size_t i = 0; i < sizes.size(); ++i) {
            const wxString path = wxString::Format("%s/picture%zu_%zu.png", Folder(), ++m_pictures, i);
            gui_test::WritePicture(path, sizes[i].x, sizes[i].y, static_cast<unsigned char>(40 + 50 * i),
                                   static_cast<unsigned char>(200 - 30 * i), static_cast<unsigned char>(90 + 20 * i));
            paths.Add(path);
        }
        frame->AddImageFiles(paths);
        return paths;
    }

    int Count() const { return frame->GetThumbnailCtrl()->GetCount(); }
    wxString Status(int field) const { return frame->m_statusBar1->GetStatusText(field); }

    // A destroyed main window is only scheduled for deletion until the next idle time.
    bool Destroyed() const { return wxTheApp->IsScheduledForDestruction(frame); }

    // The file's bytes; empty when it cannot be read.
    static std::string ReadFile(const wxString& path) {
        std::string bytes;
        wxFFile file(path, "rb");
        if (!file.IsOpened())
            return bytes;
        bytes.resize(static_cast<size_t>(file.Length()));
        if (!bytes.empty() && file.Read(&bytes[0], bytes.size()) != bytes.size())
            bytes.clear();
        return bytes;
    }

    static void WriteFile(const wxString& path, const wxString& text) {
        wxFFile file(path, "wb");
        file.Write(text, wxConvUTF8);
    }

    // Files of a folder, to see that nothing (not even a temporary file) was left behind.
    static wxArrayString FilesIn(const wxString& folder) {
        wxArrayString names;
        wxDir::GetAllFiles(folder, &names, wxEmptyString, wxDIR_FILES);
        names.Sort();
        return names;
    }

private:
    size_t m_pictures = 0;
};
