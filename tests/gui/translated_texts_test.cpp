// Texts built from parts (versions, names, sizes) are translated as a whole in the chosen language.
#include "tests/support/gui_test.h"

#include "app/update_check.h"
#include "project/project_file.h"
#include "window/my_frame.h"

#include <wx/filefn.h>

TEST_F(MainWindowTest, TextsBuiltFromPartsAreTranslatedAsAWhole) {
    wxCommandEvent chinese(wxEVT_MENU, 46);
    frame->ProcessWindowEvent(chinese);
    for (const auto& [newest, expected] :
         {std::pair<const char*, const char*>{"99.0", "Quintrel Tavelle 有新版本(99.0)可用。单击“是”打开下载页面。"},
          {"1.2.6", "此版本的 Quintrel Tavelle(1.2.6) 已是最新版本。"},
          {"0.9", "此版本的 Quintrel Tavelle(1.2.6) 已是最新版本。"}}) {
        wxCommandEvent result(wxEVT_COMMAND_UPDATE_RESULT, 0);
        result.SetString(newest);
        wxString seen;
        wxTEST_DIALOG(frame->OnUpdateResult(result), gui_test::ExpectMessage(wxID_NO, &seen));
        EXPECT_EQ(seen, wxString::FromUTF8(expected)) << newest;
    }
    // The first frame of an opened project, then the exported file and its size.
    project_file::ProjectContents contents{};
    contents.width = 40;
    contents.height = 30;
    contents.delay = 10;  // no GIF name: Save asks for one
    contents.imagePaths = {gui_test::WritePicture(Folder() + "/first.png", 40, 30)};
    ASSERT_TRUE(project_file::Save(Folder() + "/p.xml", contents).ok);
    frame->OpenProjectFile(Folder() + "/p.xml");
    EXPECT_EQ(Status(1), wxString::FromUTF8("first.png 宽度:40 像素,高度:30 像素"));
    wxTEST_DIALOG(Command(&MyFrame::OnSaveGif), gui_test::ExpectFile(Folder() + "/out.gif"));
    ASSERT_TRUE(wxFileExists(Folder() + "/out.gif"));
    EXPECT_EQ(Status(0), wxString::FromUTF8("out.gif (40 * 30)像素"));
}
