// What the program takes from its installation at start: the layout, where missing or incomplete, ends the
// start cleanly with a message naming what is missing, and junk beside a good layout is ignored; the
// window's icons come from the icon theme when installed, the icon file beside the program otherwise, and
// nothing from a missing or damaged file.
#include "tests/support/gui_test.h"

#include "app/startup.h"
#include "window/application_icon.h"

#include <wx/artprov.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/xrc/xmlres.h>

#include <set>

TEST(StartUp, ABrokenLayoutNamesWhatIsMissingAndJunkBesideAGoodOneIsIgnored) {
    const std::string layout = test_files::Read(QUINTREL_SOURCE_DIR "/resources/themes/main_frame.xrc");
    std::string renamed = layout;  // the preview panel under another name
    renamed.replace(renamed.find("\"m_panel2\""), 10, "\"m_panel_other\"");
    const struct {
        const char* name;
        std::vector<std::pair<const char*, std::string>> themes;
        const char* missing;  // nothing: the window starts
    } cases[] = {{"no Themes folder", {}, "MyFrame1"},
                 {"renamed panel", {{"main_frame.xrc", renamed}}, "m_panel2"},
                 {"junk beside", {{"main_frame.xrc", layout}, {"junk.xrc", "<resource><object class="}}, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        delete wxXmlResource::Set(new wxXmlResource);  // each start from its own installation only
        const wxString folder = test_files::Scratch(c.name);
        ASSERT_TRUE(wxFileName::Mkdir(folder + "/Themes", wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
        if (c.themes.empty())
            wxFileName::Rmdir(folder + "/Themes");
        for (const auto& [file, text] : c.themes)
            test_files::Write(folder + "/Themes/" + file, text);
        {
            wxLogNull silence;  // the toolkit complains about the junk file, as start-up silences it
            startup::LoadResources(folder);
        }
        wxString error;
        MyFrame* frame = startup::CreateMainWindow(error);
        EXPECT_EQ(frame != nullptr, c.missing == nullptr) << error;
        if (frame)
            frame->Destroy();
        else
            EXPECT_TRUE(error.Contains(c.missing)) << error;
        gui_test::Pump(20);
    }
}

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
