// Unsaved work survives a kill: it is kept in the data folder a few seconds after each change, removed
// once saved or closed normally, and offered at the next start. SIGTERM keeps it and ends cleanly.
#include "tests/support/gui_test.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/app.h>
#include <wx/spinctrl.h>

#include "app/paths.h"
#include "window/autosave_file.h"
#include "window/autosaver.h"

#include <wx/filename.h>
#include <wx/menu.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <csignal>
#include <thread>

extern char** environ;


namespace {

constexpr int kWaitMs = 20000;  // several autosave delays, on a loaded machine

// The real program, started with arguments, as a child process.
class ProgramRun {
public:
    explicit ProgramRun(const std::vector<wxString>& arguments) {
        std::vector<std::string> words{(gui_test::BuildDir() + "/bin/quintrel-tavelle").ToStdString()};
        for (const wxString& argument : arguments)
            words.push_back(argument.ToStdString());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ProgramRun() {
        if (m_pid > 0 && !m_ended) {
            kill(m_pid, SIGKILL);
            Wait();
        }
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    pid_t Pid() const { return m_pid; }
    wxString WorkFile() const { return wxString::Format("%s/autosave-%d.xml", paths::DataFolder(), m_pid); }
    // The status of the ended child.
    int Wait() {
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_ended = true;
        return status;
    }
    // Waits (without the test's own event loop, which has nothing to do) until `done` holds.
    static bool WaitUntil(const std::function<bool()>& done) {
        for (int waited = 0; waited < kWaitMs; waited += 50) {
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return done();
    }

private:
    pid_t m_pid = -1;
    bool m_ended = false;
};

class AutosaveTest : public MainWindowTest {
protected:
    bool WorkFileExists() { return frame->m_autosaver->File().Exists(); }
    bool PumpUntilWorkFile(bool exists) {
        return gui_test::PumpUntil([&] { return WorkFileExists() == exists; }, kWaitMs);
    }
};

TEST_F(AutosaveTest, KeptAfterChangesAndRemovedOnceSaved) {
    EXPECT_FALSE(WorkFileExists());
    AddPictures({{40, 30}, {40, 30}});
    ASSERT_TRUE(PumpUntilWorkFile(true)) << "the work is kept a few seconds after the change";

    wxTEST_DIALOG(ASSERT_TRUE(frame->SaveProject()), gui_test::ExpectFile(Folder() + "/anim.xml"));
    EXPECT_TRUE(PumpUntilWorkFile(false)) << "saved work needs no copy";

    frame->m_spinctrl_delay->SetValue(25);
    ASSERT_TRUE(PumpUntilWorkFile(true));
    const std::optional<AutosavedWork> kept =
        AutosaveFile::Read(wxString::Format("%s/autosave-%d.xml", paths::DataFolder(), getpid()));
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->contents.delay, 25);
    EXPECT_EQ(kept->projectPath, Folder() + "/anim.xml");

    // Closed normally (No: the work is thrown away on purpose): nothing is left for the next start.
    wxTEST_DIALOG(frame->Close(), gui_test::ExpectMessage(wxID_NO));
    ASSERT_TRUE(Destroyed());
    gui_test::Pump(50);
    frame = nullptr;
    EXPECT_FALSE(wxFileExists(wxString::Format("%s/autosave-%d.xml", paths::DataFolder(), getpid())));
}

TEST_F(AutosaveTest, ClearingTheFramesRemovesTheKeptWork) {
    AddPictures({{40, 30}});
    ASSERT_TRUE(PumpUntilWorkFile(true));
    wxCommandEvent clear(wxEVT_MENU, frame->m_menuItem_clear_all->GetId());
    frame->ProcessWindowEvent(clear);
    EXPECT_TRUE(PumpUntilWorkFile(false));
}

struct RestoreAnswer {
    const char* name;
    int answer;
    bool restored;
};

class RestoreAfterKill : public AutosaveTest, public testing::WithParamInterface<RestoreAnswer> {};

TEST_P(RestoreAfterKill, NextStartOffersTheWorkOfAKilledRun) {
    const std::vector<wxString> pictures = AddPictures({{40, 30}, {60, 45}, {40, 30}});
    frame->GetThumbnailCtrl()->Clear();  // the pictures are the child's work, not this window's
    ProgramRun child(pictures);
    ASSERT_GT(child.Pid(), 0);
    ASSERT_TRUE(ProgramRun::WaitUntil([&] { return wxFileExists(child.WorkFile()); }));
    ASSERT_EQ(kill(child.Pid(), SIGKILL), 0);
    const int status = child.Wait();
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    wxString seen;
    long style = 0;
    bool restored = false;
    wxTEST_DIALOG(restored = frame->OfferToRestore(), gui_test::ExpectMessage(GetParam().answer, &seen, &style));
    EXPECT_EQ(restored, GetParam().restored);
    EXPECT_EQ(seen, "Restore the work that was not saved?");
    EXPECT_EQ(style & (wxYES_NO | wxNO_DEFAULT | wxCANCEL), wxYES_NO) << "Yes is the default";
    if (GetParam().restored) {
        ASSERT_EQ(Count(), 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(frame->GetThumbnailCtrl()->GetItem(i)->m_path, pictures[i]);
        EXPECT_EQ(frame->m_spinctrl_delay->GetValue(), 10);
        EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 60);
        EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 45);
    } else {
        EXPECT_EQ(Count(), 0);
    }
    // Offered once, whatever the answer.
    EXPECT_FALSE(wxFileExists(child.WorkFile()));
    EXPECT_FALSE(frame->OfferToRestore());
}

INSTANTIATE_TEST_SUITE_P(Answers, RestoreAfterKill,
                         testing::Values(RestoreAnswer{"Yes", wxID_YES, true}, RestoreAnswer{"No", wxID_NO, false}),
                         [](const testing::TestParamInfo<RestoreAnswer>& info) {
                             return std::string(info.param.name);
                         });

class TerminationTest : public AutosaveTest, public testing::WithParamInterface<int> {};

TEST_P(TerminationTest, SignalKeepsTheWorkAndEndsCleanly) {
    const int signal = GetParam();
    const std::vector<wxString> pictures = AddPictures({{40, 30}, {40, 30}});
    frame->GetThumbnailCtrl()->Clear();
    ProgramRun child(pictures);
    ASSERT_TRUE(ProgramRun::WaitUntil([&] { return wxFileExists(child.WorkFile()); }));
    // Removed behind the program's back: only the signal can bring it back now.
    ASSERT_TRUE(wxRemoveFile(child.WorkFile()));
    ASSERT_EQ(kill(child.Pid(), signal), 0);
    const int status = child.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ASSERT_TRUE(wxFileExists(child.WorkFile()));
    const std::optional<AutosavedWork> kept = AutosaveFile::Read(child.WorkFile());
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->contents.imagePaths, std::vector<wxString>(pictures.begin(), pictures.end()));
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationTest, testing::Values(SIGTERM, SIGHUP),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGTERM ? "SIGTERM" : "SIGHUP");
                         });

}  // namespace
