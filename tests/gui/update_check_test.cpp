// The Help menu's web commands and the update check, against a real HTTP server on 127.0.0.1.
#include "tests/support/gui_test.h"
#include "tests/support/isolated_home.h"
#include "tests/support/local_http_server.h"

#include "app/domain_option.h"
#include "app/update_check.h"
#include "app/web_browser.h"
#include "window/my_frame.h"

#include <wx/app.h>
#include <wx/ffile.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>

#include <string>
#include <vector>

namespace {

const char* const kFailed = "Update failed!Please check if the network is available.";
const char* const kProductPage = "http://127.0.0.1:9/quintrel-tavelle/download";

struct ShownMessage {
    wxString message;
    wxString caption;
    long style = 0;
    wxWindow* parent = nullptr;
};

ShownMessage Summarize(wxMessageDialog* dialog) {
    return {dialog->GetMessage(), dialog->GetCaption(), dialog->GetMessageDialogStyle(), dialog->GetParent()};
}

// Expects one message box, answers it and keeps what it said.
class AnswerMessage : public wxExpectModalBase<wxMessageDialog, AnswerMessage> {
public:
    AnswerMessage(std::vector<ShownMessage>& shown, int answer) : m_shown(&shown), m_answer(answer) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override {
        m_shown->push_back(Summarize(dialog));
        return m_answer;
    }

private:
    std::vector<ShownMessage>* m_shown;
    int m_answer;
};

// For the cases where no dialog may appear: records any that does and dismisses it, so the test
// reports it instead of hanging on it.
class DialogRecorder : public wxModalDialogHook {
public:
    DialogRecorder() { Register(); }
    ~DialogRecorder() override { Unregister(); }
    std::vector<wxString> shown;

protected:
    int Enter(wxDialog* dialog) override {
        auto* message = dynamic_cast<wxMessageDialog*>(dialog);
        shown.push_back(message ? message->GetMessage() : dialog->GetTitle());
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
};

std::string UpdateDocument(const std::string& version) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<versions>\n"
           "  <product code=\"QT\" name=\"Quintrel Tavelle\" version=\"" +
           version + "\"/>\n</versions>\n";
}

class UpdateCheckTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        m_previousLauncher =
            web_browser::ReplaceLauncher([this](const wxString& address) { opened.push_back(address); });
    }

    void TearDown() override {
        TheUpdateFetch().Wait();
        web_browser::ReplaceLauncher(m_previousLauncher);
        MainWindowTest::TearDown();
    }

    // Replaces the options record by one read from an options file of our own. Entry 5 is the update
    // address without its "-update.xml".
    void UseOptions(const std::string& updateBase, const std::string& productPage = kProductPage,
                    const std::string& help = "http://127.0.0.1:9/help.html",
                    const std::string& support = "http://127.0.0.1:9/support.html") {
        const wxString path = wxString::FromUTF8(IsolatedHomeListener::CurrentHome()) + "/option.cfg";
        wxFFile file(path, "w");
        ASSERT_TRUE(file.IsOpened());
        file.Write(wxString::FromUTF8("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<options><domain>\n<a>" + help +
                                      "</a>\n<b>http://127.0.0.1:9/</b>\n<c>" + support +
                                      "</c>\n<d>http://127.0.0.1:9/contact</d>\n<e>" + updateBase + "</e>\n<f>" +
                                      productPage + "</f>\n<g>http://127.0.0.1:9/store</g>\n</domain></options>\n"));
        file.Close();
        delete TheDomainOption();
        SetTheDomainOption(new DomainOption(path));
        ASSERT_TRUE(TheDomainOption()->Read());
    }

    void Choose(wxMenuItem* item) {
        wxCommandEvent event(wxEVT_MENU, item->GetId());
        event.SetEventObject(frame);
        frame->GetEventHandler()->ProcessEvent(event);
    }

    // Runs Check for Update as the menu does and answers the one message box it leads to.
    std::vector<ShownMessage> CheckAndAnswer(int answer) {
        std::vector<ShownMessage> shown;
        wxTEST_DIALOG(
            {
                Choose(frame->m_menuItem_check_update);
                EXPECT_TRUE(gui_test::PumpUntil([&] { return !shown.empty(); }, 15000));
            },
            AnswerMessage(shown, answer));
        return shown;
    }

    std::vector<wxString> opened;

private:
    web_browser::Launcher m_previousLauncher;
};

}  // namespace

TEST_F(UpdateCheckTest, NewerVersionAsksAndNoOpensNothing) {
    LocalHttpServer server(LocalHttpServer::Response("200 OK", UpdateDocument("1.3.0")));
    UseOptions(server.Address("/quintrel-tavelle/version"));

    const std::vector<ShownMessage> shown = CheckAndAnswer(wxID_NO);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message,
              "A new version of Quintrel Tavelle(1.3.0) is available. Click Yes to open download page.");
    EXPECT_EQ(shown[0].caption, "Quintrel Tavelle");
    EXPECT_EQ(shown[0].style & (wxYES_NO | wxCENTRE), wxYES_NO | wxCENTRE);
    EXPECT_EQ(shown[0].parent, frame);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(server.RequestLines(), std::vector<std::string>{"GET /quintrel-tavelle/version-update.xml HTTP/1.0"});
}

TEST_F(UpdateCheckTest, NewerVersionYesOpensTheProductPage) {
    LocalHttpServer server(LocalHttpServer::Response("200 OK", UpdateDocument("1.2.10")));
    UseOptions(server.Address("/v"));

    const std::vector<ShownMessage> shown = CheckAndAnswer(wxID_YES);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message,
              "A new version of Quintrel Tavelle(1.2.10) is available. Click Yes to open download page.");
    EXPECT_EQ(opened, std::vector<wxString>{kProductPage});
}

TEST_F(UpdateCheckTest, SameOrOlderVersionIsTheLatest) {
    for (const char* version : {"1.2.6", "1.2.6.0", "1.2.5", "0.9"}) {
        SCOPED_TRACE(version);
        LocalHttpServer server(LocalHttpServer::Response("200 OK", UpdateDocument(version)));
        UseOptions(server.Address("/v"));
        const std::vector<ShownMessage> shown = CheckAndAnswer(wxID_OK);
        ASSERT_EQ(shown.size(), 1u);
        // The running version goes in the parentheses, not the one found.
        EXPECT_EQ(shown[0].message, "This version of Quintrel Tavelle(1.2.6) is the latest version.");
        EXPECT_EQ(shown[0].caption, "Quintrel Tavelle");
        EXPECT_EQ(shown[0].style & (wxOK | wxCENTRE), wxOK | wxCENTRE);
        EXPECT_TRUE(opened.empty());
    }
}

TEST_F(UpdateCheckTest, AnswersWithoutAVersionFail) {
    const std::string answers[] = {
        LocalHttpServer::Response("200 OK", "<versions><product name=\"Some Tool\" version=\"9.0\"/></versions>"),
        LocalHttpServer::Response("200 OK", "<versions><p version=\"9.0\" name=\"Quintrel Tavelle\"/></versions>"),
        LocalHttpServer::Response("200 OK", "this is not XML"),
        LocalHttpServer::Response("200 OK", ""),
        LocalHttpServer::Response("404 Not Found", "<html><body>gone</body></html>"),
        "garbage that is not HTTP\r\n\r\n",
    };
    for (const std::string& answer : answers) {
        SCOPED_TRACE(answer);
        LocalHttpServer server(answer);
        UseOptions(server.Address("/v"));
        const std::vector<ShownMessage> shown = CheckAndAnswer(wxID_OK);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].message, kFailed);
        EXPECT_EQ(shown[0].caption, "Quintrel Tavelle");
    }
}

TEST_F(UpdateCheckTest, RefusedConnectionFails) {
    RefusingPort port;
    UseOptions("http://127.0.0.1:" + std::to_string(port.Port()) + "/v");
    const std::vector<ShownMessage> shown = CheckAndAnswer(wxID_OK);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, kFailed);
}

TEST_F(UpdateCheckTest, SilentServerLeavesTheWindowWorkingAndASecondRequestIsIgnored) {
    LocalHttpServer server(std::nullopt);
    UseOptions(server.Address("/v"));

    std::vector<ShownMessage> shown;
    wxTEST_DIALOG(
        {
            Choose(frame->m_menuItem_check_update);
            // The command has returned while the server is still silent.
            EXPECT_TRUE(TheUpdateFetch().IsRunning());
            EXPECT_TRUE(gui_test::PumpUntil([&] { return server.Accepted() == 1; }));

            // The window keeps handling events meanwhile.
            bool handled = false;
            frame->CallAfter([&] { handled = true; });
            EXPECT_TRUE(gui_test::PumpUntil([&] { return handled; }));

            Choose(frame->m_menuItem_check_update);
            gui_test::Pump(300);
            EXPECT_EQ(server.Accepted(), 1);
            EXPECT_TRUE(TheUpdateFetch().IsRunning());
            EXPECT_TRUE(shown.empty());

            // The server gives up without answering: one failure message, for the one request.
            server.HangUp();
            EXPECT_TRUE(gui_test::PumpUntil([&] { return !shown.empty(); }, 15000));
            gui_test::Pump(300);
        },
        AnswerMessage(shown, wxID_OK));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, kFailed);
    EXPECT_FALSE(TheUpdateFetch().IsRunning());

    // Once finished, a new request is served again.
    LocalHttpServer next(LocalHttpServer::Response("200 OK", UpdateDocument("1.2.6")));
    UseOptions(next.Address("/v"));
    const std::vector<ShownMessage> again = CheckAndAnswer(wxID_OK);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].message, "This version of Quintrel Tavelle(1.2.6) is the latest version.");
}

TEST_F(UpdateCheckTest, SilentServerTimesOut) {
    LocalHttpServer server(std::nullopt);
    UseOptions(server.Address("/v"));

    std::vector<ShownMessage> shown;
    wxTEST_DIALOG(
        {
            ASSERT_TRUE(TheUpdateFetch().Start(TheDomainOption()->UpdateDocument(), frame, 1));
            EXPECT_TRUE(gui_test::PumpUntil([&] { return !shown.empty(); }, 15000));
        },
        AnswerMessage(shown, wxID_OK));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, kFailed);
    EXPECT_EQ(server.Accepted(), 1);  // the server still holds the connection: the time limit ended it
}

TEST_F(UpdateCheckTest, ClosingTheWindowDuringACheckReachesNobody) {
    LocalHttpServer server(std::nullopt);
    UseOptions(server.Address("/v"));
    DialogRecorder dialogs;

    Choose(frame->m_menuItem_check_update);
    ASSERT_TRUE(gui_test::PumpUntil([&] { return server.Accepted() == 1; }));
    MyFrame* closing = frame;
    frame = nullptr;  // the fixture must not destroy it again
    closing->Destroy();
    EXPECT_TRUE(gui_test::PumpUntil([&] { return !wxTheApp->IsScheduledForDestruction(closing); }));

    server.HangUp();
    EXPECT_TRUE(gui_test::PumpUntil([] { return !TheUpdateFetch().IsRunning(); }, 15000));
    gui_test::Pump(300);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(UpdateCheckTest, ResultArrivingWhileTheWindowClosesIsDropped) {
    DialogRecorder dialogs;
    frame->Destroy();
    wxCommandEvent result(wxEVT_COMMAND_UPDATE_RESULT, 0);
    result.SetString("9.9");
    frame->GetEventHandler()->ProcessEvent(result);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(UpdateCheckTest, WithoutAnUpdateAddressNothingHappens) {
    // Four entries only: no update address (and no product page).
    const wxString path = wxString::FromUTF8(IsolatedHomeListener::CurrentHome()) + "/option.cfg";
    wxFFile file(path, "w");
    ASSERT_TRUE(file.IsOpened());
    file.Write("<options><domain><a>h</a><b>x</b><c>s</c><d>y</d></domain></options>");
    file.Close();
    delete TheDomainOption();
    SetTheDomainOption(new DomainOption(path));
    TheDomainOption()->Read();
    ASSERT_TRUE(TheDomainOption()->UpdateDocument().empty());

    DialogRecorder dialogs;
    Choose(frame->m_menuItem_check_update);
    EXPECT_FALSE(TheUpdateFetch().IsRunning());
    gui_test::Pump(300);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(opened.empty());
}

TEST_F(UpdateCheckTest, UnusableUpdateAddressesAreRefusedBeforeAnyFetch) {
    for (const char* address : {"", "not a url", "nohost-update.xml"}) {
        SCOPED_TRACE(address);
        EXPECT_FALSE(TheUpdateFetch().Start(address, frame));
        EXPECT_FALSE(TheUpdateFetch().IsRunning());
    }
}

TEST_F(UpdateCheckTest, HelpAndSupportOpenTheirPages) {
    UseOptions("http://127.0.0.1:9/v", kProductPage, "http://127.0.0.1:9/help.html", "http://127.0.0.1:9/support.html");
    DialogRecorder dialogs;
    Choose(frame->m_menuItem_help);
    Choose(frame->m_menuItem_support);
    EXPECT_EQ(opened, (std::vector<wxString>{"http://127.0.0.1:9/help.html", "http://127.0.0.1:9/support.html"}));
    EXPECT_FALSE(TheUpdateFetch().IsRunning());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(UpdateCheckTest, EmptyHelpAddressesOpenNothing) {
    delete TheDomainOption();
    SetTheDomainOption(new DomainOption("/nonexistent/option.cfg"));
    EXPECT_FALSE(TheDomainOption()->Read());
    Choose(frame->m_menuItem_help);
    Choose(frame->m_menuItem_support);
    EXPECT_TRUE(opened.empty());
}
