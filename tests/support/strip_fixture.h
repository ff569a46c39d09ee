#pragma once
// A frame strip in a plain window of its own, with a second focusable window beside it, picture files in
// the test's home and a record of every notification the strip sends.

#include "tests/support/gui_test.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/frame.h>
#include <wx/textctrl.h>

struct StripNotice {
    std::string type;  // "selected", "deselected", "left", "middle", "right", "dclick", "return"
    int index;
    bool operator==(const StripNotice& other) const { return type == other.type && index == other.index; }
};
std::ostream& operator<<(std::ostream& out, const StripNotice& notice);

class StripTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void SetStripClientSize(int width, int height);
    // Appends `count` 40 x 30 pictures named f0.png, f1.png, ...
    void AppendPictures(int count, int delay = 10);
    wxPoint CellCentre(int index);
    void Click(const wxPoint& point, int button = wxMOUSE_BTN_LEFT, int modifiers = 0) {
        gui_test::Click(strip, point, button, modifiers);
    }
    // Makes the strip (or the other window) the window with keyboard focus, with the pointer over the strip.
    void FocusStrip();
    void FocusOther();
    std::vector<StripNotice> TakeNotices();
    std::vector<int> Selection() const { return {strip->m_selections.begin(), strip->m_selections.end()}; }
    wxImage Shot();

    const wxColour background{176, 223, 227};
    wxFrame* window = nullptr;
    wxThumbnailCtrl* strip = nullptr;
    wxTextCtrl* other = nullptr;

private:
    std::vector<StripNotice> m_notices;
};
