#include "tests/gui/thumbnail_strip_fixture.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <ostream>

std::ostream& operator<<(std::ostream& out, const StripNotice& notice) {
    return out << "{" << notice.type << ", " << notice.index << ", " << notice.flags << "}";
}

namespace {
// Input from the simulator arrives asynchronously through the X server.
constexpr int kSettleMs = 150;
}  // namespace

void StripTest::SetUp() {
    window = new wxFrame(nullptr, wxID_ANY, "strip", wxPoint(0, 0), wxSize(700, 600));
    strip = new CountingStrip(window, wxPoint(0, 0), wxSize(400, 500));
    strip->SetBackgroundColour(wxColour(176, 223, 227));
    other = new wxTextCtrl(window, wxID_ANY, "", wxPoint(450, 10), wxSize(200, 30));
    const std::pair<wxEventType, const char*> kinds[] = {
        {wxEVT_COMMAND_THUMBNAIL_ITEM_SELECTED, "selected"}, {wxEVT_COMMAND_THUMBNAIL_ITEM_DESELECTED, "deselected"},
        {wxEVT_COMMAND_THUMBNAIL_LEFT_CLICK, "left"},        {wxEVT_COMMAND_THUMBNAIL_MIDDLE_CLICK, "middle"},
        {wxEVT_COMMAND_THUMBNAIL_RIGHT_CLICK, "right"},      {wxEVT_COMMAND_THUMBNAIL_LEFT_DCLICK, "dclick"},
        {wxEVT_COMMAND_THUMBNAIL_RETURN, "return"},
    };
    // Bound on the parent window: the notifications must travel up like command events.
    for (const auto& kind : kinds) {
        const char* name = kind.second;
        window->Bind(wxEventTypeTag<wxThumbnailEvent>(kind.first),
                     [this, name](wxThumbnailEvent& event) { Record(event, name); });
    }
    window->Show();
    window->Raise();
    gui_test::PumpUntil([this] { return window->IsActive(); }, 2000);
    FocusStrip();
}

void StripTest::TearDown() {
    window->Destroy();
    gui_test::Pump(20);
}

void StripTest::Record(wxThumbnailEvent& event, const char* type) {
    EXPECT_EQ(event.GetId(), 1);
    EXPECT_EQ(event.GetEventObject(), strip);
    notices.push_back({type, event.GetIndex(), event.GetFlags()});
}

void StripTest::SetStripClientSize(int width, int height) {
    strip->SetClientSize(width, height);
    gui_test::PumpUntil([&] { return strip->GetClientSize() == wxSize(width, height); }, 1000);
    gui_test::Pump(30);
}

wxString StripTest::Picture(const wxString& name, int width, int height, unsigned char r, unsigned char g,
                            unsigned char b) {
    const wxString folder = wxGetHomeDir() + "/pictures";
    wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    return gui_test::WritePicture(folder + "/" + name, width, height, r, g, b);
}

int StripTest::AppendFile(const wxString& path, int delay) {
    return strip->Append(std::make_unique<wxImageThumbnailItem>(path), delay);
}

void StripTest::AppendPictures(int count, int delay) {
    const wxString first = Picture("f0.png");
    for (int i = 0; i < count; ++i) {
        const wxString path = wxGetHomeDir() + wxString::Format("/pictures/f%d.png", i);
        if (i > 0)
            wxCopyFile(first, path);
        ASSERT_EQ(AppendFile(path, delay), i);
    }
}

wxPoint StripTest::CellCentre(int index) {
    wxRect cell;
    EXPECT_TRUE(strip->GetItemRect(index, cell, true));
    return wxPoint(cell.x + cell.width / 2, cell.y + cell.height / 2);
}

void StripTest::Click(const wxPoint& point, int button, int modifiers) {
    wxUIActionSimulator input;
    input.MouseMove(strip->ClientToScreen(point));
    gui_test::Pump(30);
    if (modifiers & wxMOD_SHIFT)
        input.KeyDown(WXK_SHIFT);
    if (modifiers & wxMOD_CONTROL)
        input.KeyDown(WXK_CONTROL);
    input.MouseClick(button);
    if (modifiers & wxMOD_CONTROL)
        input.KeyUp(WXK_CONTROL);
    if (modifiers & wxMOD_SHIFT)
        input.KeyUp(WXK_SHIFT);
    gui_test::Pump(kSettleMs);
}

void StripTest::DoubleClick(const wxPoint& point) {
    wxUIActionSimulator input;
    input.MouseMove(strip->ClientToScreen(point));
    gui_test::Pump(30);
    input.MouseDblClick();
    gui_test::Pump(kSettleMs);
}

void StripTest::Key(int keyCode, int modifiers) {
    wxUIActionSimulator input;
    input.Char(keyCode, modifiers);
    gui_test::Pump(kSettleMs);
}

void StripTest::FocusStrip() {
    // Without a window manager X sends keys to the window under the pointer.
    wxUIActionSimulator().MouseMove(strip->ClientToScreen(wxPoint(strip->GetClientSize().x - 2, 2)));
    strip->SetFocus();
    gui_test::PumpUntil([this] { return wxWindow::FindFocus() == strip; }, 1000);
    gui_test::Pump(50);
}

void StripTest::FocusOther() {
    other->SetFocus();
    gui_test::PumpUntil([this] { return wxWindow::FindFocus() == other; }, 1000);
    gui_test::Pump(50);
}

wxImage StripTest::Shot() {
    strip->Refresh();
    gui_test::Pump(100);
    return gui_test::Screenshot(strip);
}

std::vector<StripNotice> StripTest::TakeNotices() {
    std::vector<StripNotice> taken;
    taken.swap(notices);
    return taken;
}

std::vector<int> StripTest::Selection() const {
    return std::vector<int>(strip->m_selections.begin(), strip->m_selections.end());
}
