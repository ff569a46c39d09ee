// Leaving the program: the unsaved-work question, the close button and Exit, and never losing frames
// without the person saying so.
#include "tests/gui/document_test_fixture.h"

#include <wx/menu.h>

using document_test::CancelFile;
using document_test::ExpectFile;
using document_test::ExpectMessage;
using document_test::ShownMessage;

namespace {

const char* const kQuestion =
    "The project is unsaved,you can continue to edit\n your project when you open it next time,do you \nwant to "
    "save the project now?";

}  // namespace

class ClosingTest : public DocumentTest {
protected:
    // The close button's request (vetoable) or the Exit menu item.
    bool CloseWith(bool exitMenu) {
        if (!exitMenu)
            return frame->Close();
        wxCommandEvent exit(wxEVT_MENU, frame->m_menuItem_exit->GetId());
        exit.SetEventObject(frame);
        frame->ProcessWindowEvent(exit);
        return Destroyed();
    }

    void SaveProjectTo(const wxString& path) {
        wxTEST_DIALOG(ASSERT_TRUE(frame->SaveProject()), ExpectFile(path));
    }
};

// Both ways out behave identically, so every case runs through both.
class ClosingBothWays : public ClosingTest, public testing::WithParamInterface<bool> {};

INSTANTIATE_TEST_SUITE_P(CloseButtonAndExit, ClosingBothWays, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("ExitMenu") : std::string("CloseButton");
                         });

TEST_P(ClosingBothWays, EmptyStripClosesWithoutAQuestion) {
    WITHOUT_DIALOGS(EXPECT_TRUE(CloseWith(GetParam())));
    EXPECT_TRUE(Destroyed());
}

TEST_P(ClosingBothWays, EmptyStripAfterClearAllOfUnsavedFramesClosesAtOnce) {
    AddPictures({{40, 30}, {40, 30}});
    wxCommandEvent clear(wxEVT_MENU, frame->m_menuItem_clear_all->GetId());
    frame->ProcessWindowEvent(clear);
    ASSERT_EQ(Count(), 0);
    WITHOUT_DIALOGS(EXPECT_TRUE(CloseWith(GetParam())));
    EXPECT_TRUE(Destroyed());
}

TEST_P(ClosingBothWays, UntitledWorkAsksAndNoClosesWithoutSaving) {
    AddPictures({{40, 30}, {40, 30}});
    auto seen = std::make_shared<ShownMessage>();
    wxTEST_DIALOG(CloseWith(GetParam()), ExpectMessage(wxID_NO, seen));
    EXPECT_TRUE(Destroyed());
    EXPECT_EQ(seen->title, "Warning");
    EXPECT_EQ(seen->message, kQuestion);
    EXPECT_EQ(seen->style & (wxYES_NO | wxCANCEL | wxNO_DEFAULT | wxICON_EXCLAMATION),
              wxYES_NO | wxCANCEL | wxNO_DEFAULT | wxICON_EXCLAMATION);
    EXPECT_TRUE(FilesIn(Folder()).size() == 2) << "only the two pictures";
}

TEST_P(ClosingBothWays, CancelKeepsTheWindowWithItsFrames) {
    AddPictures({{40, 30}, {40, 30}});
    wxTEST_DIALOG(EXPECT_FALSE(CloseWith(GetParam())), ExpectMessage(wxID_CANCEL));
    EXPECT_FALSE(Destroyed());
    EXPECT_EQ(Count(), 2);
    EXPECT_TRUE(frame->IsShown());
}

TEST_P(ClosingBothWays, YesThenCancelledSaveDialogKeepsTheWindowAndWritesNothing) {
    AddPictures({{40, 30}, {40, 30}});
    wxTEST_DIALOG(EXPECT_FALSE(CloseWith(GetParam())), ExpectMessage(wxID_YES), CancelFile());
    EXPECT_FALSE(Destroyed());
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(FilesIn(Folder()).size(), 2u);
    // Still unsaved: the next attempt asks again.
    wxTEST_DIALOG(CloseWith(GetParam()), ExpectMessage(wxID_CANCEL));
}

TEST_P(ClosingBothWays, YesThenFailedSaveReportsItAndKeepsTheWindow) {
    AddPictures({{40, 30}, {40, 30}});
    const wxString target = Folder() + "/no such folder/anim.xml";
    auto failure = std::make_shared<ShownMessage>();
    wxTEST_DIALOG(EXPECT_FALSE(CloseWith(GetParam())), ExpectMessage(wxID_YES), ExpectFile(target),
                  ExpectMessage(wxID_OK, failure));
    EXPECT_FALSE(Destroyed());
    EXPECT_EQ(Count(), 2);
    EXPECT_NE(failure->message.Find(target), wxNOT_FOUND) << failure->message;
    EXPECT_TRUE(frame->m_projectPath.empty());
}

TEST_P(ClosingBothWays, YesThenSavedProjectCloses) {
    AddPictures({{40, 30}, {40, 30}});
    const wxString target = Folder() + "/anim.xml";
    wxTEST_DIALOG(CloseWith(GetParam()), ExpectMessage(wxID_YES), ExpectFile(target));
    EXPECT_TRUE(Destroyed());
    EXPECT_TRUE(wxFileExists(target));
}

TEST_F(ClosingTest, AfterASaveOnlyTheFourValuesDecide) {
    AddPictures({{40, 30}, {40, 30}});
    frame->m_spinctrl_delay->SetValue(10);
    SaveProjectTo(Folder() + "/anim.xml");

    // Delay changed: asks.
    frame->m_spinctrl_delay->SetValue(11);
    wxTEST_DIALOG(EXPECT_FALSE(frame->Close()), ExpectMessage(wxID_CANCEL));

    // Width changed (the height follows it): asks.
    frame->m_spinctrl_delay->SetValue(10);
    frame->m_spinctrl_width->SetValue(20);
    wxTEST_DIALOG(EXPECT_FALSE(frame->Close()), ExpectMessage(wxID_CANCEL));
    frame->m_spinctrl_width->SetValue(40);
}

TEST_F(ClosingTest, DelayChangedBackToTheSavedValueClosesWithoutAQuestion) {
    AddPictures({{40, 30}});
    frame->m_spinctrl_delay->SetValue(10);
    SaveProjectTo(Folder() + "/anim.xml");
    frame->m_spinctrl_delay->SetValue(11);
    frame->m_spinctrl_delay->SetValue(10);
    WITHOUT_DIALOGS(EXPECT_TRUE(frame->Close()));
    EXPECT_TRUE(Destroyed());
}

TEST_F(ClosingTest, ClosingStopsThePreviewEvenWhenItStaysOpen) {
    AddPictures({{40, 30}, {40, 30}});
    wxCommandEvent run(wxEVT_MENU, frame->m_menuItem_run->GetId());
    frame->ProcessWindowEvent(run);
    ASSERT_TRUE(frame->m_timer.IsRunning());
    wxTEST_DIALOG(frame->Close(), ExpectMessage(wxID_CANCEL));
    EXPECT_FALSE(frame->m_timer.IsRunning());
    EXPECT_FALSE(MyFrame::s_playing);
}

// A request that cannot be refused (the session ends): the question offers no Cancel and the window goes.
TEST_F(ClosingTest, ForcedCloseOffersSavingWithoutCancel) {
    AddPictures({{40, 30}});
    auto seen = std::make_shared<ShownMessage>();
    const wxString target = Folder() + "/forced.xml";
    wxTEST_DIALOG(frame->Close(true), ExpectMessage(wxID_YES, seen), ExpectFile(target));
    EXPECT_TRUE(Destroyed());
    EXPECT_TRUE(wxFileExists(target));
    EXPECT_EQ(seen->style & wxCANCEL, 0);
    EXPECT_EQ(seen->style & (wxYES_NO | wxNO_DEFAULT), wxYES_NO | wxNO_DEFAULT);
}

TEST_F(ClosingTest, ForcedCloseGoesEvenWhenTheSaveIsCancelled) {
    AddPictures({{40, 30}});
    wxTEST_DIALOG(frame->Close(true), ExpectMessage(wxID_YES), CancelFile());
    EXPECT_TRUE(Destroyed());
}

TEST_F(ClosingTest, ForcedCloseOfSavedWorkAsksNothing) {
    AddPictures({{40, 30}});
    SaveProjectTo(Folder() + "/anim.xml");
    WITHOUT_DIALOGS(frame->Close(true));
    EXPECT_TRUE(Destroyed());
}
