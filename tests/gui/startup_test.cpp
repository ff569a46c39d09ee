// Start-up with a broken installation: the layout missing or incomplete ends cleanly with a message.
#include "tests/support/gui_test.h"

#include "app/startup.h"
#include "window/my_frame.h"

#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/xrc/xmlres.h>

namespace {

wxString TempFolder() {
    const wxString folder = wxFileName::CreateTempFileName("quintrel-startup");
    wxRemoveFile(folder);
    wxMkdir(folder);
    return folder;
}

}  // namespace

TEST(StartUp, MissingThemesFolderNamesTheLayout) {
    startup::LoadResources(TempFolder());  // no Themes folder there
    wxString error;
    EXPECT_EQ(startup::CreateMainWindow(error), nullptr);
    EXPECT_NE(error.Find("MyFrame1"), wxNOT_FOUND) << error;
}

TEST(StartUp, LayoutWithoutAPanelNamesTheMissingObject) {
    const wxString folder = TempFolder();
    wxMkdir(folder + "/Themes");
    // The real layout with the preview panel renamed.
    wxFFile source(gui_test::SourceDir() + "/resources/themes/main_frame.xrc", "rb");
    wxString xrc;
    ASSERT_TRUE(source.ReadAll(&xrc, wxConvUTF8));
    ASSERT_EQ(xrc.Replace("\"m_panel2\"", "\"m_panel_other\""), 1u);
    wxFFile target(folder + "/Themes/main_frame.xrc", "wb");
    ASSERT_TRUE(target.Write(xrc, wxConvUTF8));
    target.Close();

    startup::LoadResources(folder);
    wxString error;
    EXPECT_EQ(startup::CreateMainWindow(error), nullptr);
    EXPECT_NE(error.Find("m_panel2"), wxNOT_FOUND) << error;
    gui_test::Pump(20);
}

TEST(StartUp, LayoutIgnoresMalformedExtraResourceFiles) {
    const wxString folder = TempFolder();
    wxMkdir(folder + "/Themes");
    wxCopyFile(gui_test::SourceDir() + "/resources/themes/main_frame.xrc", folder + "/Themes/main_frame.xrc");
    wxFFile junk(folder + "/Themes/junk.xrc", "wb");
    junk.Write(wxString("<resource><object class="));
    junk.Close();
    {
        wxLogNull silence;  // the toolkit complains about the junk file, as start-up silences it
        startup::LoadResources(folder);
    }
    wxString error;
    MyFrame* frame = startup::CreateMainWindow(error);
    ASSERT_NE(frame, nullptr) << error;
    frame->Destroy();
    gui_test::Pump(20);
}
