#pragma once
// The main window with picture files in the test's home, the frame commands called as the menus call
// them, and real input on the strip and the setting controls.

#include "tests/support/gui_test.h"
#include "window/my_frame.h"

#include <wx/colour.h>

#include <string>
#include <vector>

class FrameWindowTest : public MainWindowTest {
protected:
    void SetUp() override;

    // A PNG of one colour in the test's home.
    wxString Picture(const wxString& name, int width = 40, int height = 30, const wxColour& colour = *wxRED);
    // Appends `count` pictures p0.png, p1.png, ... of the given size through the Add Image path.
    void AddPictures(int count, int width = 40, int height = 30);
    void AddFiles(const std::vector<wxString>& paths);
    // The file names of the frames in strip order.
    std::vector<std::string> FrameNames();

    void Command(void (MyFrame::*handler)(wxCommandEvent&));
    void Run() { Command(&MyFrame::OnRunAnimation); }
    void Tick();

    // Real input: a click on a frame's cell, keys and text typed into a window under the pointer.
    void ClickFrame(int index, int button = wxMOUSE_BTN_LEFT);
    void TypeInto(wxWindow* control, const wxString& text);
    void PressKey(int keyCode, int modifiers = wxMOD_NONE);

    // The preview panel as the screen shows it.
    wxImage Preview();
    // The colour of the empty panel as the screen shows it (the theme's background may be translucent).
    wxColour PreviewBackground() const { return m_background; }

    void ExpectFrameCommandsEnabled(bool enabled);
    // "play" or "stop" by the picture the run tool shows, "" for anything else.
    std::string RunToolPicture();
    // The player is stopped and looks it: timer, flag, tool picture and menu label.
    void ExpectStopped();
    void ExpectPlaying();

private:
    wxColour m_background;
};

// Whether the pixel at `point` has exactly `colour`; says what it has when not.
testing::AssertionResult SameColour(const wxImage& image, const wxPoint& point, const wxColour& colour);
