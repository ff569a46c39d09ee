// Where the window's icons come from: the icon theme when installed, the icon file beside the program
// otherwise.
#include "tests/support/gui_test.h"

#include "window/application_icon.h"
#include "window/my_frame.h"

#include <wx/artprov.h>
#include <wx/ffile.h>
#include <wx/filename.h>

#include <set>

namespace {

std::set<int> Widths(const wxIconBundle& bundle) {
    std::set<int> widths;
    for (size_t i = 0; i < bundle.GetIconCount(); ++i)
        widths.insert(bundle.GetIconByIndex(i).GetWidth());
    return widths;
}

wxString BuildTreeIcon() { return gui_test::BuildDir() + "/Themes/application.ico"; }

// Stands for an icon theme that holds one icon, in two sizes no icon file of ours has.
class OneIconTheme : public wxArtProvider {
public:
    static constexpr const char* kName = "test.quintrel.ThemedIcon";

protected:
    wxBitmap CreateBitmap(const wxArtID& id, const wxArtClient&, const wxSize&) override {
        return id == kName ? wxBitmap(20, 20) : wxNullBitmap;
    }
    wxIconBundle CreateIconBundle(const wxArtID& id, const wxArtClient&) override {
        wxIconBundle bundle;
        if (id == kName)
            for (int size : {20, 40}) {
                wxIcon icon;
                icon.CopyFromBitmap(wxBitmap(size, size));
                bundle.AddIcon(icon);
            }
        return bundle;
    }
};

// Keeps the stand-in theme in place for one test only.
struct PushedTheme {
    PushedTheme() : provider(new OneIconTheme) { wxArtProvider::Push(provider); }
    ~PushedTheme() { wxArtProvider::Delete(provider); }
    OneIconTheme* provider;
};

}  // namespace

TEST(ApplicationIconTest, WithoutThemeIconEverySizeOfTheIconFile) {
    const wxIconBundle icons = ApplicationIcons("test.quintrel.NoSuchIcon", BuildTreeIcon());
    EXPECT_EQ(Widths(icons), (std::set<int>{16, 32, 48, 256}));
}

TEST(ApplicationIconTest, ThemeIconComesBeforeTheIconFile) {
    PushedTheme theme;
    const wxIconBundle icons = ApplicationIcons(OneIconTheme::kName, BuildTreeIcon());
    EXPECT_EQ(Widths(icons), (std::set<int>{20, 40}));
}

TEST(ApplicationIconTest, NeitherThemeIconNorFileGivesNoIcons) {
    const wxString missing = gui_test::BuildDir() + "/Themes/no-such-icon.ico";
    EXPECT_TRUE(ApplicationIcons("test.quintrel.NoSuchIcon", missing).IsEmpty());
}

TEST(ApplicationIconTest, DamagedIconFileGivesNoIcons) {
    const wxString damaged = wxFileName::CreateTempFileName("quintrel-icon");
    {
        wxFFile file(damaged, "wb");
        ASSERT_TRUE(file.IsOpened());
        file.Write("\0\0\1\0\x40\0not an icon at all", 24);
    }
    EXPECT_TRUE(ApplicationIcons("test.quintrel.NoSuchIcon", damaged).IsEmpty());
    wxRemoveFile(damaged);
}

TEST_F(MainWindowTest, WindowCarriesTheApplicationIcons) {
    const wxIconBundle expected = ApplicationIcons(ApplicationIconName(), BuildTreeIcon());
    ASSERT_FALSE(expected.IsEmpty());
    EXPECT_EQ(Widths(frame->GetIcons()), Widths(expected));
}
