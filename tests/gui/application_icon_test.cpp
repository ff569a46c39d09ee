// Where the window's icons come from: the icon theme when installed, the icon file beside the program
// otherwise, and nothing from a missing or damaged file.
#include "tests/support/files.h"
#include "tests/support/gui_test.h"

#include "window/application_icon.h"
#include "window/my_frame.h"

#include <wx/artprov.h>

#include <set>

namespace {

std::set<int> Widths(const wxIconBundle& bundle) {
    std::set<int> widths;
    for (size_t i = 0; i < bundle.GetIconCount(); ++i)
        widths.insert(bundle.GetIconByIndex(i).GetWidth());
    return widths;
}

// Stands for an icon theme holding one icon, in two sizes no icon file of ours has.
class OneIconTheme : public wxArtProvider {
protected:
    wxBitmap CreateBitmap(const wxArtID& id, const wxArtClient&, const wxSize&) override {
        return id == "test.Themed" ? wxBitmap(20, 20) : wxNullBitmap;
    }
    wxIconBundle CreateIconBundle(const wxArtID& id, const wxArtClient&) override {
        wxIconBundle bundle;
        for (int size : {20, 40}) {
            wxIcon icon;
            icon.CopyFromBitmap(wxBitmap(size, size));
            if (id == "test.Themed")
                bundle.AddIcon(icon);
        }
        return bundle;
    }
};

}  // namespace

TEST_F(MainWindowTest, IconsComeFromTheThemeThenFromTheIconFile) {
    const wxString file = gui_test::BuildDir() + "/Themes/application.ico";
    EXPECT_EQ(Widths(frame->GetIcons()), (std::set<int>{16, 32, 48, 256}));  // no theme icon in the build tree
    auto* theme = new OneIconTheme;
    wxArtProvider::Push(theme);
    EXPECT_EQ(Widths(ApplicationIcons("test.Themed", file)), (std::set<int>{20, 40}));
    EXPECT_EQ(Widths(ApplicationIcons("test.Missing", file)), (std::set<int>{16, 32, 48, 256}));
    wxArtProvider::Delete(theme);
    test_files::Write(test_files::Scratch("damaged.ico"), std::string("\0\0\1\0\x40\0not an icon", 17));
    for (const wxString& bad : {test_files::Scratch("damaged.ico"), test_files::Scratch("missing.ico")})
        EXPECT_TRUE(ApplicationIcons("test.Missing", bad).IsEmpty()) << bad;
}
