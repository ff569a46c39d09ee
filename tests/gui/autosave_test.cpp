// Unsaved work survives a kill: it is kept in the data folder a few seconds after each change, removed
// once saved, cleared or closed normally, and offered at the next start. SIGTERM and SIGHUP keep it and
// end cleanly.
#include "tests/support/gui_test.h"

#include "app/paths.h"
#include "window/autosave_file.h"

#include <wx/filefn.h>

#include <spawn.h>
#include <sys/wait.h>

#include <csignal>

extern char** environ;

namespace {

constexpr int kWaitMs = 20000;  // several autosave delays, on a loaded machine

wxString WorkFile(long pid) { return wxString::Format("%s/autosave-%ld.xml", paths::DataFolder(), pid); }

}  // namespace

TEST_F(MainWindowTest, AutosaveIsKeptAfterChangesAndRemovedOnceSavedClearedOrClosed) {
    const auto kept = [this](bool exists) {
        return gui_test::PumpUntil([&] { return wxFileExists(WorkFile(getpid())) == exists; }, kWaitMs);
    };
    AddPictures({{40, 30}});
    ASSERT_TRUE(kept(true)) << "the work is kept a few seconds after the change";
    Command(&MyFrame::OnClearAll);
    EXPECT_TRUE(kept(false)) << "no frames, nothing to keep";
    AddPictures({{40, 30}, {40, 30}});
    ASSERT_TRUE(kept(true));
    wxTEST_DIALOG(ASSERT_TRUE(frame->SaveProject()), gui_test::ExpectFile(Folder() + "/anim.xml"));
    EXPECT_TRUE(kept(false)) << "saved work needs no copy";
    frame->m_spinctrl_delay->SetValue(25);
    ASSERT_TRUE(kept(true));
    const std::optional<AutosavedWork> work = AutosaveFile::Read(WorkFile(getpid()));
    EXPECT_TRUE(work && work->contents.delay == 25 && work->projectPath == Folder() + "/anim.xml");
    // Closed normally (No: the work is thrown away on purpose): nothing is left for the next start.
    wxTEST_DIALOG(frame->Close(), gui_test::ExpectMessage(wxID_NO));
    ASSERT_TRUE(Destroyed());
    frame = nullptr;
    EXPECT_TRUE(kept(false));
}

struct Ending {
    const char* name;
    int signal, answer;
};

class AutosaveOfRunThatEnded : public MainWindowTest, public testing::WithParamInterface<Ending> {};

TEST_P(AutosaveOfRunThatEnded, IsOfferedOnceAtTheNextStart) {
    const std::vector<wxString> pictures = AddPictures({{40, 30}, {60, 45}, {40, 30}});
    frame->GetThumbnailCtrl()->Clear();  // the pictures are the child's work, not this window's
    // The shell puts the three pictures in their order (p1, p2, p3) and becomes the program.
    std::string command = wxString::Format("exec '%s/bin/quintrel-tavelle' '%s'/p?.png", gui_test::BuildDir(), Folder()).utf8_string();
    char shell[] = "/bin/sh", option[] = "-c";
    char* argv[] = {shell, option, command.data(), nullptr};
    pid_t child = -1;
    ASSERT_EQ(posix_spawn(&child, argv[0], nullptr, nullptr, argv, environ), 0);
    const bool started = gui_test::PumpUntil([&] { return wxFileExists(WorkFile(child)); }, kWaitMs);
    EXPECT_FALSE(frame->OfferToRestore()) << "the work of a run still running is not offered";
    // Removed behind the program's back: only the signal can bring it back.
    EXPECT_TRUE(GetParam().signal == SIGKILL || wxRemoveFile(WorkFile(child)));
    kill(child, GetParam().signal);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(started);
    EXPECT_TRUE(GetParam().signal == SIGKILL ? WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL
                                             : WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    wxString seen;
    long style = 0;
    const bool restored = GetParam().answer == wxID_YES;
    wxTEST_DIALOG(EXPECT_EQ(frame->OfferToRestore(), restored), gui_test::ExpectMessage(GetParam().answer, &seen, &style));
    EXPECT_EQ(seen, "Restore the work that was not saved?");
    EXPECT_EQ(style & (wxYES_NO | wxNO_DEFAULT | wxCANCEL), wxYES_NO) << "Yes is the default";
    EXPECT_EQ(FramePaths(), restored ? pictures : std::vector<wxString>{});
    EXPECT_FALSE(frame->OfferToRestore()) << "offered once";
}

INSTANTIATE_TEST_SUITE_P(Endings, AutosaveOfRunThatEnded,
                         testing::Values(Ending{"KilledYes", SIGKILL, wxID_YES}, Ending{"TerminatedNo", SIGTERM, wxID_NO},
                                         Ending{"HungUpYes", SIGHUP, wxID_YES}),
                         [](const testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });
