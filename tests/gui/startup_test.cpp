// Start-up with a broken installation: the layout missing or incomplete ends cleanly with a message naming
// what is missing; junk beside a good layout is ignored.
#include "tests/support/files.h"
#include "tests/support/gui_test.h"

#include "app/startup.h"
#include "window/my_frame.h"

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/xrc/xmlres.h>

TEST(StartUp, ABrokenLayoutNamesWhatIsMissingAndJunkBesideAGoodOneIsIgnored) {
    const std::string layout = test_files::Read(gui_test::SourceDir() + "/resources/themes/main_frame.xrc");
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
