#include "tests/support/gui_test.h"

#include "app/domain_option.h"
#include "app/startup.h"
#include "window/my_frame.h"

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/evtloop.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

void GTestModalHook::ReportFailure(const wxString& msg) { ADD_FAILURE() << "modal dialog: " << msg.ToStdString(); }

namespace gui_test {

void Pump(int ms) {
    wxStopWatch watch;
    do {
        wxTheApp->Yield(true);
        wxMilliSleep(5);
        wxTheApp->ProcessPendingEvents();
    } while (watch.Time() < ms);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    wxStopWatch watch;
    while (!done()) {
        if (watch.Time() > timeoutMs)
            return false;
        Pump(10);
    }
    return true;
}

wxString BuildDir() { return QUINTREL_BINARY_DIR; }
wxString SourceDir() { return QUINTREL_SOURCE_DIR; }

wxString WritePicture(const wxString& path, int width, int height, unsigned char r, unsigned char g,
                      unsigned char b) {
    wxImage image(width, height);
    image.SetRGB(wxRect(0, 0, width, height), r, g, b);
    image.SaveFile(path, wxBITMAP_TYPE_PNG);
    return path;
}

wxImage Screenshot(wxWindow* window) {
    window->Update();
    const wxSize size = window->GetClientSize();
    wxBitmap bitmap(size);
    wxMemoryDC memory(bitmap);
    wxClientDC client(window);
    memory.Blit(0, 0, size.x, size.y, &client, 0, 0);
    memory.SelectObject(wxNullBitmap);
    return bitmap.ConvertToImage();
}

}  // namespace gui_test

void MainWindowTest::SetUp() {
    static bool resourcesLoaded = false;
    if (!resourcesLoaded) {
        startup::LoadResources(gui_test::BuildDir());
        resourcesLoaded = true;
    }
    SetTheDomainOption(new DomainOption(gui_test::BuildDir() + "/option.cfg"));
    TheDomainOption()->Read();
    wxString error;
    frame = startup::CreateMainWindow(error);
    ASSERT_NE(frame, nullptr) << error.ToStdString();
    frame->Show();
    frame->Raise();
    frame->SetFocus();
    gui_test::PumpUntil([this] { return frame->IsActive(); }, 2000);
    gui_test::Pump(50);
}

void MainWindowTest::TearDown() {
    if (frame) {
        frame->m_timer.Stop();
        frame->Destroy();
        frame = nullptr;
    }
    gui_test::Pump(20);
    delete TheDomainOption();
    SetTheDomainOption(nullptr);
}
