// Texts built from parts (versions, names, sizes) are translated as a whole in the chosen language.
#include "tests/support/gui_test.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/app.h>
#include <wx/spinctrl.h>

#include "app/update_check.h"
#include "project/project_file.h"

#include <wx/menu.h>


namespace {

constexpr int kChineseSimplified = 46;

class TranslatedTextsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        wxCommandEvent choose(wxEVT_MENU, kChineseSimplified);
        frame->ProcessWindowEvent(choose);
    }
    // The message the window shows for an update check that found `newest`.
    wxString UpdateMessage(const wxString& newest) {
        wxCommandEvent result(wxEVT_COMMAND_UPDATE_RESULT, 0);
        result.SetString(newest);
        wxString seen;
        wxTEST_DIALOG(frame->OnUpdateResult(result), gui_test::ExpectMessage(wxID_NO, &seen));
        return seen;
    }
};

TEST_F(TranslatedTextsTest, UpdateAnswers) {
    const struct {
        const char* newest;
        const char* expected;
    } cases[] = {
        {"99.0", "Quintrel Tavelle 有新版本(99.0)可用。单击“是”打开下载页面。"},
        {"1.2.6", "此版本的 Quintrel Tavelle(1.2.6) 已是最新版本。"},
        {"0.9", "此版本的 Quintrel Tavelle(1.2.6) 已是最新版本。"},
    };
    for (const auto& check : cases)
        EXPECT_EQ(UpdateMessage(check.newest), wxString::FromUTF8(check.expected)) << check.newest;
}

TEST_F(TranslatedTextsTest, FirstFrameOfAnOpenedProject) {
    project_file::ProjectContents contents;
    contents.width = 40;
    contents.height = 30;
    contents.delay = 10;
    contents.gifPath = "a.gif";
    contents.imagePaths = {gui_test::WritePicture(Folder() + "/first.png", 40, 30)};
    ASSERT_TRUE(project_file::Save(Folder() + "/p.xml", contents).ok);
    frame->OpenProjectFile(Folder() + "/p.xml");
    EXPECT_EQ(Status(1), wxString::FromUTF8("first.png 宽度:40 像素,高度:30 像素"));
}

TEST_F(TranslatedTextsTest, ExportedFileAndSize) {
    AddPictures({{40, 30}});
    wxCommandEvent save(wxEVT_MENU, frame->m_menuItem_save->GetId());
    wxTEST_DIALOG(frame->ProcessWindowEvent(save), gui_test::ExpectFile(Folder() + "/out.gif"));
    ASSERT_TRUE(wxFileExists(Folder() + "/out.gif"));
    EXPECT_EQ(Status(0), wxString::FromUTF8("out.gif (40 * 30)像素"));
}

}  // namespace
