#include "tests/support/gui_test.h"

#include "app/domain_option.h"
#include "app/startup.h"

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/stopwatch.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>
#include <wx/xrc/xmlres.h>

#include <set>

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
    for (wxStopWatch watch; !done(); Pump(10))
        if (watch.Time() > timeoutMs)
            return false;
    return true;
}

void WhileRunning::Notify() {
    if (m_busy)
        return;
    m_busy = true;
    if (m_step())
        Stop();
    m_busy = false;
}

wxString WritePicture(const wxString& path, int width, int height, const wxColour& colour) {
    wxImage image(width, height);
    image.SetRGB(wxRect(0, 0, width, height), colour.Red(), colour.Green(), colour.Blue());
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

testing::AssertionResult SameColour(const wxImage& image, const wxPoint& point, const wxColour& colour) {
    if (!image.IsOk() || !wxRect(image.GetSize()).Contains(point))
        return testing::AssertionFailure() << "no pixel at " << point.x << "," << point.y;
    const wxColour found(image.GetRed(point.x, point.y), image.GetGreen(point.x, point.y), image.GetBlue(point.x, point.y));
    return (found == colour ? testing::AssertionSuccess() : testing::AssertionFailure())
           << "pixel " << point.x << "," << point.y << " is " << found.GetAsString(wxC2S_CSS_SYNTAX) << ", wanted "
           << colour.GetAsString(wxC2S_CSS_SYNTAX);
}

void Click(wxWindow* window, const wxPoint& point, int button, int modifiers) {
    wxUIActionSimulator input;
    input.MouseMove(window->ClientToScreen(point));
    Pump(30);
    const std::pair<int, int> held[] = {{wxMOD_SHIFT, WXK_SHIFT}, {wxMOD_CONTROL, WXK_CONTROL}};
    for (const auto& [modifier, key] : held)
        if (modifiers & modifier)
            input.KeyDown(key);
    input.MouseClick(button);
    for (const auto& [modifier, key] : held)
        if (modifiers & modifier)
            input.KeyUp(key);
    Pump(150);  // input from the simulator arrives asynchronously through the X server
}

void Key(int keyCode, int modifiers) {
    wxUIActionSimulator().Char(keyCode, modifiers);
    Pump(150);
}

void TypeInto(wxWindow* control, const wxString& text) {
    wxUIActionSimulator input;
    const wxRect rect = control->GetScreenRect();
    input.MouseMove(wxPoint(rect.x + 10, rect.y + rect.height / 2));
    control->SetFocus();
    Pump(50);
    input.Char('a', wxMOD_CONTROL);
    Pump(30);
    input.Text(text.utf8_str());
    Pump(150);
}

}  // namespace gui_test

void MainWindowTest::SetUp() {
    [[maybe_unused]] static const bool loaded = (startup::LoadResources(gui_test::BuildDir()), true);
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
    wxMkdir(Folder());
}

void MainWindowTest::TearDown() {
    if (frame) {
        frame->m_timer.Stop();
        frame->Destroy();
    }
    gui_test::Pump(20);
    delete TheDomainOption();
    SetTheDomainOption(nullptr);
}

std::vector<wxString> MainWindowTest::AddPictures(const std::vector<wxSize>& sizes) {
    std::vector<wxString> paths;
    for (const wxSize& size : sizes) {
        const int n = ++m_pictures;
        paths.push_back(gui_test::WritePicture(wxString::Format("%s/p%d.png", Folder(), n), size.x, size.y,
                                               wxColour(40 + 50 * n % 200, 200 - 30 * n % 200, 90 + 20 * n % 160)));
    }
    AddFiles(paths);
    return paths;
}

std::vector<wxString> MainWindowTest::FramePaths() const {
    std::vector<wxString> paths;
    for (int i = 0; i < Count(); ++i)
        paths.push_back(Strip()->GetItem(i)->m_path);
    return paths;
}

std::vector<std::string> MainWindowTest::FrameNames() const {
    std::vector<std::string> names;
    for (const wxString& path : FramePaths())
        names.push_back(wxFileNameFromPath(path).ToStdString());
    return names;
}

void MainWindowTest::Command(void (MyFrame::*handler)(wxCommandEvent&)) {
    wxCommandEvent event(wxEVT_MENU);
    // Through a local: GCC's UBSan misreports `frame->*handler` as a member access through null.
    MyFrame* target = frame;
    (target->*handler)(event);
}

void MainWindowTest::Choose(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(event);
}

wxPoint MainWindowTest::InCell(int index, double xPart) const {
    wxRect cell;
    EXPECT_TRUE(Strip()->GetItemRect(index, cell, true));
    return {cell.x + static_cast<int>(cell.width * xPart), cell.y + cell.height / 2};
}

void MainWindowTest::ClickFrame(int index, int button, int modifiers) {
    gui_test::Click(Strip(), InCell(index), button, modifiers);
}

int MainWindowTest::FrameCommandsEnabled() const {
    std::set<bool> states{frame->m_toolBar2->GetToolEnabled(XRCID("m_tool13")),
                          frame->m_toolBar2->GetToolEnabled(XRCID("m_tool14"))};
    for (wxMenuItem* item : {frame->m_menuItem_save, frame->m_menuItem_save_as, frame->m_menuItem_delete,
                             frame->m_menuItem_clear_all, frame->m_menuItem_run, frame->m_menuItem_loop_count,
                             frame->m_menuItem_save_project})
        states.insert(item->IsEnabled());
    for (wxSpinCtrl* control : {frame->m_spinctrl_delay, frame->m_spinctrl_width, frame->m_spinctrl_height})
        states.insert(control->IsEnabled());
    return states.size() == 1 ? *states.begin() : -1;
}
