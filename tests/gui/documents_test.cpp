// The work and its files: Save writes what quintrel-gif writes, failures are reported, projects go out and
// come back, and closing asks exactly when there is unsaved work.
#include "tests/support/gui_test.h"

using test_files::Read;
using DocumentsTest = MainWindowTest;

TEST_F(DocumentsTest, SaveWritesWhatTheCommandLineExporterWritesAndAFailureIsReported) {
    wxString command = wxString::Format("'%s/bin/quintrel-gif' -d 7 -W 96 -H 40 -o '%s/cli.gif'", gui_test::BuildDir(), Folder());
    std::vector<wxString> paths;
    for (int i = 0; i < 3; ++i)
        command += " '" + paths.emplace_back(test_files::RampFile(wxString::Format("work/g%d.png", i), 96 - 20 * i, 40, i)) + "'";
    ASSERT_EQ(test_files::Run(command.utf8_string()).status, 0) << command;
    AddFiles(paths);
    frame->m_spinctrl_delay->SetValue(7);
    wxTEST_DIALOG(Command(&MyFrame::OnSaveGif), gui_test::ExpectFile(Folder() + "/anim"));
    EXPECT_EQ(Status(0), "anim.gif (96 * 40)px");
    EXPECT_EQ(Read(Folder() + "/anim.gif"), Read(Folder() + "/cli.gif"));

    // Why a failed export keeps the earlier file is tested without a window; here it is reported.
    wxString failure;
    wxTEST_DIALOG(Command(&MyFrame::OnSaveGifAs), gui_test::ExpectFile(Folder() + "/none/x.gif"),
                  gui_test::ExpectMessage(wxID_OK, &failure));
    EXPECT_TRUE(failure.Contains(Folder() + "/none")) << failure;
}

TEST_F(DocumentsTest, AProjectComesBackAsItWasSavedAndAnUnusableOneLeavesTheWorkAsItWas) {
    const std::vector<wxString> added = AddPictures({{40, 30}, {20, 60}, {40, 30}});
    frame->m_spinctrl_delay->SetValue(33);
    gui_test::TypeInto(frame->m_spinctrl_width, "20");
    const wxString project = Folder() + "/round.xml";
    wxTEST_DIALOG(Command(&MyFrame::OnSaveProject), gui_test::ExpectFile(project));
    EXPECT_EQ(frame->GetTitle(), "round - Quintrel Tavelle");

    Command(&MyFrame::OnClearAll);
    frame->m_spinctrl_delay->SetValue(5);
    wxTEST_DIALOG(Command(&MyFrame::OnOpenProject), gui_test::ExpectFile(project));
    EXPECT_EQ(FramePaths(), added);
    EXPECT_EQ(frame->m_spinctrl_delay->GetValue(), 33);
    EXPECT_EQ(OutputSize(), wxSize(20, 15));

    // The reader's reasons are tested without a window; here the message names file and reason.
    const wxString garbage = Folder() + "/garbage.xml";
    test_files::Write(garbage, std::string(10, '\x01') + "<project><name>");
    wxString shown;
    wxTEST_DIALOG(Command(&MyFrame::OnOpenProject), gui_test::ExpectFile(garbage), gui_test::ExpectMessage(wxID_OK, &shown));
    EXPECT_TRUE(shown.Contains(garbage) && shown.Contains("not a readable XML file")) << shown;
    EXPECT_EQ(Count(), 3);
}

TEST_F(DocumentsTest, YesWithAFailedOrCancelledSaveKeepsTheWindowAndItsFrames) {
    AddPictures({{40, 30}, {40, 30}});
    const wxString target = Folder() + "/no such folder/anim.xml";
    wxString failure;
    wxTEST_DIALOG(EXPECT_FALSE(frame->Close()), wxExpectModal<wxMessageDialog>(wxID_YES),
                  gui_test::ExpectFile(target), gui_test::ExpectMessage(wxID_OK, &failure));
    EXPECT_TRUE(failure.Contains(target)) << failure;
    wxTEST_DIALOG(Command(&MyFrame::OnQuitMenu), wxExpectModal<wxMessageDialog>(wxID_YES),
                  gui_test::ExpectFile(wxString(), wxID_CANCEL));
    EXPECT_FALSE(Destroyed());
    EXPECT_EQ(Count(), 2);
    wxTEST_DIALOG(EXPECT_TRUE(frame->Close()), wxExpectModal<wxMessageDialog>(wxID_YES),
                  gui_test::ExpectFile(Folder() + "/anim.xml"));
    EXPECT_TRUE(Destroyed());
    EXPECT_TRUE(wxFileExists(Folder() + "/anim.xml"));
}
