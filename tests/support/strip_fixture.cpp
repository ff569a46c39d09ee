#include "tests/support/strip_fixture.h"

#include <wx/filename.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <ostream>
#include <utility>

std::ostream& operator<<(std::ostream& out, const StripNotice& notice) {
    return out << "{" << notice.type << ", " << notice.index << "}";
}

void StripTest::SetUp() {
    window = new wxFrame(nullptr, wxID_ANY, "strip", wxPoint(0, 0), wxSize(700, 600));
    strip = new wxThumbnailCtrl(window, wxPoint(0, 0), wxSize(400, 500));
    strip->SetBackgroundColour(background);
    other = new wxTextCtrl(window, wxID_ANY, "", wxPoint(450, 10), wxSize(200, 30));
    const std::pair<wxEventType, const char*> kinds[] = {
        {wxEVT_COMMAND_THUMBNAIL_ITEM_SELECTED, "selected"}, {wxEVT_COMMAND_THUMBNAIL_ITEM_DESELECTED, "deselected"},
        {wxEVT_COMMAND_THUMBNAIL_LEFT_CLICK, "left"},        {wxEVT_COMMAND_THUMBNAIL_MIDDLE_CLICK, "middle"},
        {wxEVT_COMMAND_THUMBNAIL_RIGHT_CLICK, "right"},      {wxEVT_COMMAND_THUMBNAIL_LEFT_DCLICK, "dclick"},
        {wxEVT_COMMAND_THUMBNAIL_RETURN, "return"}};
    // Bound on the parent window: the notifications must travel up like command events.
    for (const auto& [type, name] : kinds) {
        const char* kind = name;
        window->Bind(wxEventTypeTag<wxThumbnailEvent>(type), [this, kind](wxThumbnailEvent& event) {
            EXPECT_EQ(event.GetEventObject(), strip);
            m_notices.push_back({kind, event.GetIndex()});
        });
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

void StripTest::SetStripClientSize(int width, int height) {
    strip->SetClientSize(width, height);
    gui_test::PumpUntil([&] { return strip->GetClientSize() == wxSize(width, height); }, 1000);
    gui_test::Pump(30);
}

void StripTest::AppendPictures(int count, int delay) {
    const wxString folder = wxGetHomeDir() + "/pictures";
    wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    const wxString first = gui_test::WritePicture(folder + "/f0.png", 40, 30, wxColour(200, 60, 40));
    for (int i = 0; i < count; ++i) {
        const wxString path = folder + wxString::Format("/f%d.png", i);
        ASSERT_TRUE(i == 0 || wxCopyFile(first, path));
        ASSERT_EQ(strip->Append(std::make_unique<wxImageThumbnailItem>(path), delay), i);
    }
}

wxPoint StripTest::CellCentre(int index) {
    wxRect cell;
    EXPECT_TRUE(strip->GetItemRect(index, cell, true));
    return wxPoint(cell.x + cell.width / 2, cell.y + cell.height / 2);
}

void StripTest::FocusStrip() {
    // Without a window manager X sends keys to the window under the pointer.
    wxUIActionSimulator().MouseMove(strip->ClientToScreen(wxPoint(strip->GetClientSize().x - 2, 2)));
    strip->SetFocus();
    gui_test::PumpUntil([this] { return wxWindow::FindFocus() == strip; }, 1000);
}

void StripTest::FocusOther() {
    other->SetFocus();
    gui_test::PumpUntil([this] { return wxWindow::FindFocus() == other; }, 1000);
}

std::vector<StripNotice> StripTest::TakeNotices() { return std::exchange(m_notices, {}); }

wxImage StripTest::Shot() {
    strip->Refresh();
    gui_test::Pump(100);
    return gui_test::Screenshot(strip);
}
