#pragma once
// A frame strip in a plain window of its own, with a second focusable window beside it, picture
// files in the test's home, a record of every notification the strip sends, and real input.

#include "tests/support/gui_test.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/frame.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

struct StripNotice {
    std::string type;  // "selected", "deselected", "left", "middle", "right", "dclick", "return"
    int index;
    int flags;
    bool operator==(const StripNotice& other) const {
        return type == other.type && index == other.index && flags == other.flags;
    }
};
std::ostream& operator<<(std::ostream& out, const StripNotice& notice);

// The strip as the program builds it, counting the cells each paint draws.
class CountingStrip : public wxThumbnailCtrl {
public:
    using wxThumbnailCtrl::wxThumbnailCtrl;
    bool DrawItemBackground(int n, wxDC& dc, const wxRect& rect, const wxRect& imageRect, int style) override {
        drawn.push_back(n);
        return wxThumbnailCtrl::DrawItemBackground(n, dc, rect, imageRect, style);
    }
    std::vector<int> drawn;
};

class StripTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Gives the strip this client size (wide and tall enough for no vertical scroll bar unless asked).
    void SetStripClientSize(int width, int height);
    // A PNG of one colour in the test's home; the name decides the file name shown in the cell.
    wxString Picture(const wxString& name, int width = 40, int height = 30, unsigned char r = 200,
                     unsigned char g = 60, unsigned char b = 40);
    // Appends `count` 40 x 30 pictures named f0.png, f1.png, ...
    void AppendPictures(int count, int delay = 10);
    int AppendFile(const wxString& path, int delay = 10);

    // Real input at a point of the strip's client area (or the middle of a cell).
    wxPoint CellCentre(int index);
    void Click(const wxPoint& point, int button = wxMOUSE_BTN_LEFT, int modifiers = wxMOD_NONE);
    void DoubleClick(const wxPoint& point);
    void Key(int keyCode, int modifiers = wxMOD_NONE);
    // The strip's client area as the screen shows it.
    wxImage Shot();
    // Makes the strip (or the other window) the window with keyboard focus, with the pointer over the strip.
    void FocusStrip();
    void FocusOther();

    std::vector<StripNotice> TakeNotices();
    std::vector<int> Selection() const;

    wxFrame* window = nullptr;
    CountingStrip* strip = nullptr;
    wxTextCtrl* other = nullptr;
    std::vector<StripNotice> notices;

private:
    void Record(wxThumbnailEvent& event, const char* type);
};
