#include "tests/gui/frame_window_fixture.h"

#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/spinctrl.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>
#include <wx/xrc/xmlres.h>

#include <cstring>

namespace {
// Input from the simulator arrives asynchronously through the X server.
constexpr int kSettleMs = 150;

bool SamePixels(const wxImage& a, const wxImage& b) {
    return a.IsOk() && b.IsOk() && a.GetSize() == b.GetSize() &&
           std::memcmp(a.GetData(), b.GetData(), size_t(a.GetWidth()) * a.GetHeight() * 3) == 0;
}
}  // namespace

testing::AssertionResult SameColour(const wxImage& image, const wxPoint& point, const wxColour& colour) {
    if (!image.IsOk() || !wxRect(image.GetSize()).Contains(point))
        return testing::AssertionFailure() << "no pixel at " << point.x << "," << point.y;
    const wxColour found(image.GetRed(point.x, point.y), image.GetGreen(point.x, point.y),
                         image.GetBlue(point.x, point.y));
    if (found == colour)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "pixel " << point.x << "," << point.y << " is "
                                       << found.GetAsString(wxC2S_CSS_SYNTAX) << ", not "
                                       << colour.GetAsString(wxC2S_CSS_SYNTAX);
}

void FrameWindowTest::SetUp() {
    MainWindowTest::SetUp();
    if (!frame)
        return;
    const wxImage blank = Preview();
    const wxPoint middle(blank.GetWidth() / 2, blank.GetHeight() / 2);
    m_background = wxColour(blank.GetRed(middle.x, middle.y), blank.GetGreen(middle.x, middle.y),
                            blank.GetBlue(middle.x, middle.y));
}

wxString FrameWindowTest::Picture(const wxString& name, int width, int height, const wxColour& colour) {
    const wxString folder = wxGetHomeDir() + "/pictures";
    wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    return gui_test::WritePicture(folder + "/" + name, width, height, colour.Red(), colour.Green(), colour.Blue());
}

void FrameWindowTest::AddPictures(int count, int width, int height) {
    std::vector<wxString> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back(Picture(wxString::Format("p%d.png", i), width, height));
    AddFiles(paths);
}

void FrameWindowTest::AddFiles(const std::vector<wxString>& paths) {
    wxArrayString list;
    for (const wxString& path : paths)
        list.push_back(path);
    frame->AddImageFiles(list);
}

std::vector<std::string> FrameWindowTest::FrameNames() {
    std::vector<std::string> names;
    wxThumbnailCtrl* strip = frame->m_thumbnailCtrl;
    for (int i = 0; i < strip->GetCount(); ++i)
        names.push_back(wxFileNameFromPath(strip->GetItem(i)->m_path).ToStdString());
    return names;
}

void FrameWindowTest::Command(void (MyFrame::*handler)(wxCommandEvent&)) {
    wxCommandEvent event(wxEVT_MENU);
    // Through a local: GCC's UBSan misreports `frame->*handler` as a member access through null.
    MyFrame* target = frame;
    (target->*handler)(event);
}

void FrameWindowTest::Tick() {
    wxTimerEvent event(frame->m_timer);
    frame->OnTimer(event);
}

void FrameWindowTest::ClickFrame(int index, int button) {
    wxThumbnailCtrl* strip = frame->m_thumbnailCtrl;
    wxRect cell;
    ASSERT_TRUE(strip->GetItemRect(index, cell, true));
    wxUIActionSimulator input;
    input.MouseMove(strip->ClientToScreen(cell.GetPosition() + wxPoint(cell.width / 2, cell.height / 2)));
    gui_test::Pump(30);
    input.MouseClick(button);
    gui_test::Pump(kSettleMs);
}

void FrameWindowTest::TypeInto(wxWindow* control, const wxString& text) {
    wxUIActionSimulator input;
    const wxRect rect = control->GetScreenRect();
    input.MouseMove(wxPoint(rect.x + 10, rect.y + rect.height / 2));
    control->SetFocus();
    gui_test::Pump(50);
    input.Char('a', wxMOD_CONTROL);
    gui_test::Pump(30);
    input.Text(text.utf8_str());
    gui_test::Pump(kSettleMs);
}

void FrameWindowTest::PressKey(int keyCode, int modifiers) {
    wxUIActionSimulator input;
    input.MouseMove(frame->ClientToScreen(wxPoint(frame->GetClientSize().x / 2, 10)));
    gui_test::Pump(30);
    input.Char(keyCode, modifiers);
    gui_test::Pump(kSettleMs);
}

wxImage FrameWindowTest::Preview() {
    gui_test::Pump(30);
    return gui_test::Screenshot(frame->m_panel2);
}


void FrameWindowTest::ExpectFrameCommandsEnabled(bool enabled) {
    for (wxMenuItem* item : {frame->m_menuItem_save, frame->m_menuItem_save_as, frame->m_menuItem_delete,
                             frame->m_menuItem_clear_all, frame->m_menuItem_run, frame->m_menuItem_loop_count,
                             frame->m_menuItem_save_project})
        EXPECT_EQ(item->IsEnabled(), enabled) << item->GetItemLabel();
    EXPECT_EQ(frame->m_toolBar2->GetToolEnabled(XRCID("m_tool13")), enabled);
    EXPECT_EQ(frame->m_toolBar2->GetToolEnabled(XRCID("m_tool14")), enabled);
    EXPECT_EQ(frame->m_spinctrl_delay->IsEnabled(), enabled);
    EXPECT_EQ(frame->m_spinctrl_width->IsEnabled(), enabled);
    EXPECT_EQ(frame->m_spinctrl_height->IsEnabled(), enabled);
    // These never depend on the frames.
    EXPECT_TRUE(frame->m_menuItem_add_image->IsEnabled());
    EXPECT_TRUE(frame->m_toolBar2->GetToolEnabled(XRCID("m_tool12")));
}

std::string FrameWindowTest::RunToolPicture() {
    const wxToolBarToolBase* tool = frame->m_toolBar2->FindById(XRCID("m_tool14"));
    const wxImage shown = tool->GetNormalBitmap().ConvertToImage();
    for (const char* name : {"play", "stop"}) {
        if (SamePixels(shown, wxImage(gui_test::BuildDir() + "/Themes/" + name + ".png")))
            return name;
    }
    return "";
}

void FrameWindowTest::ExpectStopped() {
    EXPECT_FALSE(MyFrame::s_playing);
    EXPECT_FALSE(frame->m_timer.IsRunning());
    EXPECT_EQ(RunToolPicture(), "play");
    EXPECT_EQ(frame->m_menuItem_run->GetItemLabel(), "Run animation\tCtrl+P");
}

void FrameWindowTest::ExpectPlaying() {
    EXPECT_TRUE(MyFrame::s_playing);
    EXPECT_TRUE(frame->m_timer.IsRunning());
    EXPECT_EQ(RunToolPicture(), "stop");
    EXPECT_EQ(frame->m_menuItem_run->GetItemLabel(), "Stop animation\tCtrl+T");
}
