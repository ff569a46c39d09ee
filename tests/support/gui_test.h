#pragma once
// Shared tools of the window tests: modal-dialog expectations reported to GoogleTest, the event loop
// run for a bounded time, and a fixture holding a real main window.

#include <gtest/gtest.h>

// Unmet dialog expectations become test failures, not toolkit assertions.
class GTestModalHook;
#define wxTEST_DIALOG_HOOK_CLASS GTestModalHook
#include <wx/testing.h>

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/string.h>

#include <functional>

class GTestModalHook : public wxTestingModalHook {
public:
    explicit GTestModalHook(const char* file = nullptr, int line = 0, const char* func = nullptr)
        : wxTestingModalHook(file, line, func) {}

protected:
    void ReportFailure(const wxString& msg) override;
};

class MyFrame;

namespace gui_test {

// Runs the event loop for about `ms` milliseconds.
void Pump(int ms = 50);
// Runs the event loop until `done` holds or `timeoutMs` passes; returns whether it held.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);

// The build tree (the installation folder of the test binaries) and the source tree.
wxString BuildDir();
wxString SourceDir();

// Makes a picture file of the given size filled with one colour; returns its path.
wxString WritePicture(const wxString& path, int width, int height, unsigned char r = 200, unsigned char g = 60,
                      unsigned char b = 40);

// The client area of a window as the screen shows it.
wxImage Screenshot(wxWindow* window);

}  // namespace gui_test

// A shown, active main window built from the real layout, as the program builds it.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    MyFrame* frame = nullptr;
};
