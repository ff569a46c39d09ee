#pragma once
// Shared tools of the window tests: modal-dialog expectations reported to GoogleTest, the event loop run for
// a bounded time, real input, screenshots, and a fixture holding the real main window.

#include "tests/support/files.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <gtest/gtest.h>

// Unmet dialog expectations become test failures, not toolkit assertions.
class GTestModalHook;
#define wxTEST_DIALOG_HOOK_CLASS GTestModalHook
#include <wx/testing.h>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/filedlg.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <functional>
#include <string>
#include <vector>

class GTestModalHook : public wxTestingModalHook {
public:
    explicit GTestModalHook(const char* file = nullptr, int line = 0, const char* func = nullptr)
        : wxTestingModalHook(file, line, func) {}

protected:
    void ReportFailure(const wxString& msg) override;
};

namespace gui_test {

// Runs the event loop for about `ms` milliseconds, or until `done` holds (false after `timeoutMs`).
void Pump(int ms = 50);
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);

// The build tree: the installation folder of the test binaries.
inline wxString BuildDir() { return QUINTREL_BINARY_DIR; }

// Runs `step` every few milliseconds from whatever event loop runs (a batch loading, a modal dialog),
// until it returns true.
class WhileRunning : public wxTimer {
public:
    explicit WhileRunning(std::function<bool()> step) : m_step(std::move(step)) { Start(10); }
    void Notify() override;

private:
    std::function<bool()> m_step;
    bool m_busy = false;  // a step that pumps events may see the timer tick again
};

// A PNG of one colour; returns its path.
wxString WritePicture(const wxString& path, int width, int height, const wxColour& colour = *wxRED);

// The client area of a window as the screen shows it, and whether a pixel of it has exactly `colour`.
wxImage Screenshot(wxWindow* window);
testing::AssertionResult SameColour(const wxImage& image, const wxPoint& point, const wxColour& colour);

// Real input: a click at a point of a window, keys to the window under the pointer, text typed into a control.
void Click(wxWindow* window, const wxPoint& point, int button = wxMOUSE_BTN_LEFT, int modifiers = 0);
void Key(int keyCode, int modifiers = 0);
void TypeInto(wxWindow* control, const wxString& text);

// Answers a message box with `answer` and keeps what it said (with its extended message on a line of
// its own), and its style, where given.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage> {
public:
    explicit ExpectMessage(int answer, wxString* shown = nullptr, long* style = nullptr)
        : m_answer(answer), m_shown(shown), m_style(style) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override {
        if (m_shown)
            *m_shown = dialog->GetMessage() + (dialog->GetExtendedMessage().empty() ? "" : "\n" + dialog->GetExtendedMessage());
        if (m_style)
            *m_style = dialog->GetMessageDialogStyle();
        return m_answer;
    }

private:
    int m_answer;
    wxString* m_shown;
    long* m_style;
};

// Chooses `path` in a file dialog, or cancels it.
using ExpectFile = wxExpectModal<wxFileDialog>;

}  // namespace gui_test

// A shown, active main window built from the real layout, as the program builds it, with pictures in a
// folder of the test's own.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    wxString Folder() const { return wxGetHomeDir() + "/work"; }
    // Pictures of the given sizes and distinct colours, added as Add Image adds them.
    std::vector<wxString> AddPictures(const std::vector<wxSize>& sizes);
    void AddFiles(const std::vector<wxString>& paths) { frame->AddImageFiles(wxArrayString(paths.size(), paths.data())); }
    // The paths, or the file names, of the frames in strip order.
    std::vector<wxString> FramePaths() const;
    std::vector<std::string> FrameNames() const;
    wxSize OutputSize() const { return {frame->m_spinctrl_width->GetValue(), frame->m_spinctrl_height->GetValue()}; }
    wxThumbnailCtrl* Strip() const { return frame->GetThumbnailCtrl(); }
    int Count() const { return Strip()->GetCount(); }
    std::vector<int> Selection() const { return {Strip()->m_selections.begin(), Strip()->m_selections.end()}; }
    // A point of a cell, in strip coordinates, `xPart` of its width from the left.
    wxPoint InCell(int index, double xPart = 0.5) const;
    wxString Status(int field) const { return frame->GetStatusBar()->GetStatusText(field); }
    void Command(void (MyFrame::*handler)(wxCommandEvent&));
    void Choose(int id);  // a menu item by its id, as the menu bar sends it
    void ClickFrame(int index, int button = wxMOUSE_BTN_LEFT, int modifiers = 0);
    // The enabled state of the commands that need frames, all of them when they agree, -1 when they do not.
    int FrameCommandsEnabled() const;
    bool Destroyed() const { return wxTheApp->IsScheduledForDestruction(frame); }

    MyFrame* frame = nullptr;

private:
    int m_pictures = 0;
};
