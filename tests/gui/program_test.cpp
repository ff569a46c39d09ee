// The program around the work: the interface language and the texts it builds, the loop count dialog, the
// update check against a real HTTP server on 127.0.0.1, and the export level with its size estimate.
#include "tests/support/gui_test.h"
#include "tests/support/local_http_server.h"

#include "app/domain_option.h"
#include "app/startup.h"
#include "app/update_check.h"
#include "app/web_browser.h"
#include "app/export_level_setting.h"
#include "project/project_file.h"
#include "window/size_estimate_status.h"
#include "window/loop_count_dialog.h"

#include <wx/filename.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>

using ProgramTest = MainWindowTest;

TEST_F(ProgramTest, PickingALanguageRelabelsTheWindowInPlaceAndIsKeptForTheNextStart) {
    // Whether each catalog loads is tested without a window; here the built window takes the new texts.
    const struct {
        int id;
        const char *file, *delay;
    } languages[] = {{112, "ファイル", "遅延:"}, {58, "File", "Delay :"}, {89, "Datei", "Verzögerung:"}};
    AddPictures({{40, 30}});
    for (const auto& language : languages) {
        SCOPED_TRACE(language.id);
        Choose(language.id);
        EXPECT_EQ(frame->GetMenuBar()->GetMenuLabelText(0).utf8_string(), language.file);
        EXPECT_EQ(frame->m_staticText1->GetLabel().utf8_string(), language.delay);
        EXPECT_EQ(FrameCommandsEnabled(), 1) << "the rebuilt menus know there are frames";
        for (wxMenuItem* item : frame->m_menu_language->GetMenuItems())  // the check mark on the one picked
            EXPECT_EQ(item->IsChecked(), item->GetId() == language.id);
    }
    Choose(frame->m_menuItem_clear_all->GetId());  // the new bar's commands reach their handlers
    EXPECT_EQ(Count(), 0);
    wxString error;  // the next start reads the kept choice
    MyFrame* next = startup::CreateMainWindow(error);
    ASSERT_NE(next, nullptr) << error.ToStdString();
    EXPECT_EQ(next->GetMenuBar()->GetMenuLabelText(0), "Datei");
    next->Destroy();
}

TEST_F(ProgramTest, LoopCountIsSetOnlyByOkAndEveryDialogStartsFromTheLastOne) {
    AddPictures({{40, 30}, {40, 30}});
    Command(&MyFrame::OnRunAnimation);  // the dialog stops the player, whatever the answer
    // The radio button chosen (0: a number of passes, 1: for ever), the passes typed, the button pressed.
    const struct {
        int choice, passes, button, loopCount;
    } sessions[] = {{0, 4, wxID_OK, 4}, {1, 7, wxID_CANCEL, 4}, {1, 7, wxID_OK, 0}};
    for (const auto& session : sessions) {
        gui_test::WhileRunning act([&] {  // inside the dialog's modal loop
            for (wxWindow* window : wxTopLevelWindows)
                if (auto* open = dynamic_cast<LoopCountDialog*>(window); open && open->IsModal()) {
                    auto* passes = static_cast<wxSpinCtrl*>(open->FindWindow(2));
                    EXPECT_TRUE(frame->m_loopCount == 0 || passes->GetValue() == frame->m_loopCount) << passes->GetValue();
                    // The clicks as the toolkit reports them: the radio button set, then its event.
                    wxCommandEvent radio(wxEVT_RADIOBUTTON, session.choice), button(wxEVT_BUTTON, session.button);
                    static_cast<wxRadioButton*>(open->FindWindow(session.choice))->SetValue(true);
                    open->ProcessWindowEvent(radio);
                    EXPECT_EQ(passes->IsEnabled(), session.choice == 0);
                    passes->SetValue(session.passes);
                    open->ProcessWindowEvent(button);
                    return true;
                }
            return false;
        });
        Command(&MyFrame::OnLoopCount);
        EXPECT_EQ(frame->m_loopCount, session.loopCount) << session.choice << session.button;
        EXPECT_FALSE(frame->m_timer.IsRunning());
    }
}

// Version comparison is tested without a window; here each answer reaches the user, translated as a whole
// sentence (the version sits inside it), and Yes opens the product page.
TEST_F(ProgramTest, UpdateCheckTellsWhatTheServerSaysAndYesOpensTheProductPage) {
    std::vector<wxString> opened;
    const web_browser::Launcher previous = web_browser::ReplaceLauncher([&](const wxString& a) { opened.push_back(a); });
    const struct {
        int language, answer;
        const char *version, *status, *message;
    } cases[] = {{46, wxID_YES, "1.2.10", "200 OK", "Quintrel Tavelle 有新版本(1.2.10)可用。单击“是”打开下载页面。"},
                 {58, wxID_OK, "1.2.6", "200 OK", "This version of Quintrel Tavelle(1.2.6) is the latest version."},
                 {58, wxID_OK, "9.0", "404 Not Found", "Update failed!Please check if the network is available."}};
    for (const auto& c : cases) {
        Choose(c.language);
        LocalHttpServer server(LocalHttpServer::Response(
            c.status, std::string("<versions><product code=\"QT\" name=\"Quintrel Tavelle\" version=\"") + c.version + "\"/></versions>"));
        test_files::Write(test_files::Scratch("option.cfg"), "<o><d><a/><b/><c/><d/><e>" + server.Address("/v") +
                                                                 "</e><f>http://127.0.0.1:9/download</f><g/></d></o>");
        delete TheDomainOption();
        SetTheDomainOption(new DomainOption(test_files::Scratch("option.cfg")));
        ASSERT_TRUE(TheDomainOption()->Read());
        wxString shown;  // the dialog comes once the answer is in; an unmet expectation fails the test
        wxTEST_DIALOG(Choose(frame->m_menuItem_check_update->GetId()); gui_test::PumpUntil([&] { return !shown.empty(); }, 15000),
                      gui_test::ExpectMessage(c.answer, &shown));
        EXPECT_EQ(shown, wxString::FromUTF8(c.message));
        EXPECT_EQ(server.RequestLines(), std::vector<std::string>{"GET /v-update.xml HTTP/1.0"});
    }
    EXPECT_EQ(opened, std::vector<wxString>{"http://127.0.0.1:9/download"});
    TheUpdateFetch().Wait();
    web_browser::ReplaceLauncher(previous);
}

TEST_F(ProgramTest, EachExportLevelIsEstimatedInTheBackgroundSavedAsEstimatedAndCarriedByProjects) {
    const auto estimated = [this] {  // the bytes the status bar's "about N kB" stands for, once up to date
        EXPECT_TRUE(gui_test::PumpUntil([this] { return frame->m_sizeEstimate->UpToDate(); }, 30000));
        const wxString text = Status(SizeEstimateStatus::kStatusField);
        double kilobytes = -1;
        EXPECT_TRUE(text.StartsWith("about ") && text.EndsWith(" kB") && text.AfterFirst(' ').BeforeFirst(' ').ToCDouble(&kilobytes)) << text;
        return kilobytes * 1000;
    };
    for (int i = 0; i < 30; ++i)
        AddFiles({test_files::RampFile(wxString::Format("ramp%02d.png", i), 64, 48, i)});
    frame->m_gifPath = test_files::Scratch("level.gif");
    for (const int level : {0, 1, 2}) {
        SCOPED_TRACE(level);
        Choose(frame->m_menuItem_export_levels[level]->GetId());
        const double estimate = estimated();
        ASSERT_TRUE(frame->WriteGifFile());
        const double written = wxFileName::GetSize(frame->m_gifPath).ToDouble();
        EXPECT_NEAR(estimate, written, written * 0.10 + 500);
    }
    const double before = estimated();
    frame->m_outputWidth = 32, frame->m_outputHeight = 24;
    EXPECT_LT(estimated(), before);  // a change of size is estimated again
    // A project carries its level without changing the remembered choice.
    ASSERT_TRUE(project_file::Save(test_files::Scratch("work.xml"), {"", 64, 48, 10, 1, {test_files::RampFile("a.png", 64, 48)}}).ok);
    frame->OpenProjectFile(test_files::Scratch("work.xml"));
    EXPECT_EQ(frame->m_exportLevel, 1);
    EXPECT_EQ(export_level_setting::Read(), 2);  // the last level chosen, kept for the next start
}
