// The program around the work: the interface language, the loop count dialog and the
// update check against a real HTTP server on 127.0.0.1.
#include "tests/support/files.h"
#include "tests/support/gui_test.h"
#include "tests/support/local_http_server.h"

#include "app/domain_option.h"
#include "app/paths.h"
#include "app/startup.h"
#include "app/update_check.h"
#include "app/web_browser.h"
#include "window/loop_count_dialog.h"
#include "window/my_frame.h"

#include <wx/app.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/weakref.h>

#include <memory>

namespace {

using Names = std::vector<std::string>;

Names Labels(wxMenu* menu) {
    Names labels;
    for (wxMenuItem* item : menu->GetMenuItems())
        labels.push_back(item->GetItemLabel().utf8_string());
    return labels;
}

class ProgramTest : public MainWindowTest {
protected:
    void Choose(int id) {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetEventObject(frame);
        frame->GetEventHandler()->ProcessEvent(event);
    }
    void Restart() {
        wxWeakRef<MyFrame> old(frame);
        frame->Destroy();
        frame = nullptr;
        ASSERT_TRUE(gui_test::PumpUntil([&] { return !old; }));
        wxString error;
        frame = startup::CreateMainWindow(error);
        ASSERT_NE(frame, nullptr) << error.ToStdString();
        frame->Show();
        gui_test::Pump(50);
    }
};

// Runs `show`, which opens a loop count dialog modally; inside its modal loop `act` works on the dialog and
// closes it. Returns whether the dialog was seen.
bool WhileLoopCountOpen(const std::function<void()>& show, const std::function<void(LoopCountDialog&)>& act) {
    struct State {
        bool showing = true, acted = false;
        std::function<void(LoopCountDialog&)> act;
        std::function<void(std::shared_ptr<State>)> poll;
    };
    auto state = std::make_shared<State>();
    state->act = act;
    state->poll = [](std::shared_ptr<State> s) {
        if (!s->showing || s->acted)
            return;
        for (wxWindow* window : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<LoopCountDialog*>(window);
            if (dialog && dialog->IsModal()) {
                s->acted = true;
                s->act(*dialog);
                return;
            }
        }
        wxTheApp->CallAfter([s] { s->poll(s); });
    };
    wxTheApp->CallAfter([state] { state->poll(state); });
    show();
    state->showing = false;
    return state->acted;
}

void Press(wxWindow* control, wxEventType type) {
    wxCommandEvent event(type, control->GetId());
    event.SetEventObject(control);
    event.SetInt(1);
    if (auto* radio = dynamic_cast<wxRadioButton*>(control))
        radio->SetValue(true);
    control->GetEventHandler()->ProcessEvent(event);
}

}  // namespace

TEST_F(ProgramTest, PickingALanguageRelabelsTheWindowAndIsKeptForTheNextStart) {
    const struct {
        int id;
        const char* file;
        const char* save;
        const char* delay;
    } languages[] = {{89, "Datei", "Speichern", "Verzögerung:"}, {112, "ファイル", "保存", nullptr},
                     {46, "文件", nullptr, nullptr},            {58, "File", "Save", "Delay :"}};
    AddPictures({{40, 30}});
    for (const auto& language : languages) {
        Choose(language.id);
        EXPECT_EQ(test_files::Read(paths::DataFolder() + "/language.txt"), std::to_string(language.id));
        EXPECT_EQ(frame->GetMenuBar()->GetMenuLabelText(0).utf8_string(), language.file);
        if (language.save) {
            EXPECT_EQ(Labels(frame->m_menu_file)[0], language.save);
        }
        if (language.delay) {
            EXPECT_EQ(frame->m_staticText1->GetLabel().utf8_string(), language.delay);
        }
        EXPECT_EQ(FrameCommandsEnabled(), 1) << "the rebuilt menus know there are frames";
        for (wxMenuItem* item : frame->m_menu_language->GetMenuItems())
            EXPECT_EQ(item->IsChecked(), item->GetId() == language.id);
    }
    Choose(89);
    Restart();
    EXPECT_EQ(frame->GetMenuBar()->GetMenuLabelText(0), "Datei");
    EXPECT_EQ(FrameCommandsEnabled(), 0);
}

TEST_F(ProgramTest, LoopCountIsSetOnlyByOkAndEveryDialogStartsFromTheLastOne) {
    AddPictures({{40, 30}, {40, 30}});
    Command(&MyFrame::OnRunAnimation);
    EXPECT_TRUE(WhileLoopCountOpen([&] { Command(&MyFrame::OnLoopCount); }, [](LoopCountDialog& open) {
        Press(open.FindWindow(0), wxEVT_RADIOBUTTON);
        static_cast<wxSpinCtrl*>(open.FindWindow(2))->SetValue(4);
        Press(open.FindWindow(wxID_OK), wxEVT_BUTTON);
    }));
    EXPECT_EQ(frame->m_loopCount, 4);
    EXPECT_FALSE(frame->m_timer.IsRunning());
    EXPECT_TRUE(WhileLoopCountOpen([&] { Command(&MyFrame::OnLoopCount); }, [](LoopCountDialog& open) {
        EXPECT_EQ(static_cast<wxSpinCtrl*>(open.FindWindow(2))->GetValue(), 4);
        Press(open.FindWindow(1), wxEVT_RADIOBUTTON);  // for ever, then cancelled
        EXPECT_FALSE(open.FindWindow(2)->IsEnabled());
        Press(open.FindWindow(wxID_CANCEL), wxEVT_BUTTON);
    }));
    EXPECT_EQ(frame->m_loopCount, 4);
}

TEST_F(ProgramTest, UpdateCheckTellsWhatTheServerSaysAndYesOpensTheProductPage) {
    std::vector<wxString> opened;
    const web_browser::Launcher previous = web_browser::ReplaceLauncher([&](const wxString& a) { opened.push_back(a); });
    const auto document = [](const std::string& version) {
        return "<versions><product code=\"QT\" name=\"Quintrel Tavelle\" version=\"" + version + "\"/></versions>";
    };
    const struct {
        std::string response;
        int answer;
        const char* message;
    } cases[] = {
        {LocalHttpServer::Response("200 OK", document("1.2.10")), wxID_YES,
         "A new version of Quintrel Tavelle(1.2.10) is available. Click Yes to open download page."},
        {LocalHttpServer::Response("200 OK", document("1.2.6")), wxID_OK,
         "This version of Quintrel Tavelle(1.2.6) is the latest version."},
        {LocalHttpServer::Response("404 Not Found", "<html/>"), wxID_OK,
         "Update failed!Please check if the network is available."},
        {"garbage that is not HTTP\r\n\r\n", wxID_OK, "Update failed!Please check if the network is available."}};
    for (const auto& c : cases) {
        LocalHttpServer server(c.response);
        const wxString options = test_files::Scratch("option.cfg");
        test_files::Write(options, "<o><d><a/><b/><c/><d/><e>" + server.Address("/v") +
                                       "</e><f>http://127.0.0.1:9/download</f><g/></d></o>");
        delete TheDomainOption();
        SetTheDomainOption(new DomainOption(options));
        ASSERT_TRUE(TheDomainOption()->Read());
        wxString shown;
        wxTEST_DIALOG(
            {
                Choose(frame->m_menuItem_check_update->GetId());
                EXPECT_TRUE(gui_test::PumpUntil([&] { return !shown.empty(); }, 15000));
            },
            gui_test::ExpectMessage(c.answer, &shown));
        EXPECT_EQ(shown, c.message);
        EXPECT_EQ(server.RequestLines(), std::vector<std::string>{"GET /v-update.xml HTTP/1.0"});
    }
    EXPECT_EQ(opened, std::vector<wxString>{"http://127.0.0.1:9/download"});
    TheUpdateFetch().Wait();
    web_browser::ReplaceLauncher(previous);
}
