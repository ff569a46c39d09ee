// The work and its files: Save writes what quintrel-gif writes, failures are reported and keep the earlier
// file, projects go out and come back, and closing asks exactly when there is unsaved work.
#include "tests/support/files.h"
#include "tests/support/gui_test.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/app.h>
#include <wx/spinctrl.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>

namespace {

using test_files::Read;

class DocumentsTest : public MainWindowTest {
protected:
    std::string Exported(const std::vector<wxString>& paths, int delay, int width, int height) {
        wxString command = wxString::Format("'%s/bin/quintrel-gif' -d %d -W %d -H %d -o '%s/cli.gif'",
                                            gui_test::BuildDir(), delay, width, height, Folder());
        for (const wxString& path : paths)
            command += " '" + path + "'";
        EXPECT_EQ(std::system(command.utf8_str()), 0) << command;
        return Read(Folder() + "/cli.gif");
    }
    void SaveProjectAs(const wxString& path) {
        wxTEST_DIALOG(Command(&MyFrame::OnSaveProject), gui_test::ExpectFile(path));
    }
};

// Writes past `bytes` bytes of any one file fail, as on a full disc, for the life of the object.
class FullDisc {
public:
    explicit FullDisc(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisc() {
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &unlimited);
    }
};

}  // namespace

TEST_F(DocumentsTest, SaveWritesWhatTheCommandLineExporterWritesAndKeepsTheEarlierFileOnFailure) {
    std::vector<wxString> paths;
    for (int i = 0; i < 3; ++i)
        paths.push_back(test_files::RampFile("work/g" + std::to_string(i) + ".png", 96 - 20 * i, 40, i));
    AddFiles(paths);
    frame->m_spinctrl_delay->SetValue(7);
    wxTEST_DIALOG(Command(&MyFrame::OnSaveGif), gui_test::ExpectFile(Folder() + "/anim"));
    const wxString gif = Folder() + "/anim.gif";
    EXPECT_EQ(Status(0), "anim.gif (96 * 40)px");
    const std::string saved = Read(gif);
    EXPECT_EQ(saved, Exported(paths, 7, 96, 40));

    frame->m_spinctrl_delay->SetValue(30);
    wxString failure;
    {
        FullDisc full(200);
        wxTEST_DIALOG(Command(&MyFrame::OnSaveGif), gui_test::ExpectMessage(wxID_OK, &failure));  // no second dialog
    }
    EXPECT_TRUE(failure.Contains(gif)) << failure;
    EXPECT_EQ(Read(gif), saved);
    wxTEST_DIALOG(Command(&MyFrame::OnSaveGifAs), gui_test::ExpectFile(Folder() + "/none/x.gif"),
                  gui_test::ExpectMessage(wxID_OK, &failure));
    EXPECT_TRUE(failure.Contains(Folder() + "/none")) << failure;
    EXPECT_EQ(test_files::FilesIn(Folder()).size(), 5u) << "three pictures, two GIFs, no temporary file";
}

TEST_F(DocumentsTest, AProjectComesBackAsItWasSaved) {
    const std::vector<wxString> added = AddPictures({{40, 30}, {20, 60}, {40, 30}});
    frame->m_spinctrl_delay->SetValue(33);
    gui_test::TypeInto(frame->m_spinctrl_width, "20");
    const wxString project = Folder() + "/round.xml";
    SaveProjectAs(project);
    EXPECT_EQ(frame->GetTitle(), "round - Quintrel Tavelle");

    Command(&MyFrame::OnClearAll);
    frame->m_spinctrl_delay->SetValue(5);
    wxTEST_DIALOG(Command(&MyFrame::OnOpenProject), gui_test::ExpectFile(project));
    std::vector<wxString> paths;
    for (int i = 0; i < Count(); ++i)
        paths.push_back(frame->GetThumbnailCtrl()->GetItem(i)->m_path);
    EXPECT_EQ(paths, added);
    EXPECT_EQ(frame->m_spinctrl_delay->GetValue(), 33);
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 20);
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 15);
    EXPECT_EQ(frame->GetTitle(), "round - Quintrel Tavelle");
    // Just opened: closing asks nothing.
    EXPECT_TRUE(frame->Close());
    EXPECT_TRUE(Destroyed());
}

TEST_F(DocumentsTest, ClosingAsksWhenAnyValueDiffersFromTheSavedWork) {
    AddPictures({{40, 30}, {40, 30}});
    SaveProjectAs(Folder() + "/saved.xml");
    const std::pair<wxSpinCtrl*, int> changes[] = {
        {frame->m_spinctrl_delay, 77}, {frame->m_spinctrl_width, 20}, {frame->m_spinctrl_height, 15}};
    for (const auto& [control, value] : changes) {
        const int saved = control->GetValue();
        control->SetValue(value);
        wxTEST_DIALOG(EXPECT_FALSE(frame->Close()), wxExpectModal<wxMessageDialog>(wxID_CANCEL));
        control->SetValue(saved);
    }
    AddPictures({{40, 30}});
    wxTEST_DIALOG(Command(&MyFrame::OnQuitMenu), wxExpectModal<wxMessageDialog>(wxID_CANCEL));
    EXPECT_FALSE(Destroyed());
    wxTEST_DIALOG(Command(&MyFrame::OnQuitMenu), wxExpectModal<wxMessageDialog>(wxID_NO));
    EXPECT_TRUE(Destroyed());
}

TEST_F(DocumentsTest, YesWithAFailedOrCancelledSaveKeepsTheWindowAndItsFrames) {
    AddPictures({{40, 30}, {40, 30}});
    const wxString target = Folder() + "/no such folder/anim.xml";
    wxString failure;
    wxTEST_DIALOG(EXPECT_FALSE(frame->Close()), wxExpectModal<wxMessageDialog>(wxID_YES),
                  gui_test::ExpectFile(target), gui_test::ExpectMessage(wxID_OK, &failure));
    EXPECT_TRUE(failure.Contains(target)) << failure;
    wxTEST_DIALOG(Command(&MyFrame::OnQuitMenu), wxExpectModal<wxMessageDialog>(wxID_YES),
                  gui_test::ExpectFile(wxString()));
    EXPECT_FALSE(Destroyed());
    EXPECT_EQ(Count(), 2);
    EXPECT_FALSE(wxFileExists(target));
    wxTEST_DIALOG(EXPECT_TRUE(frame->Close()), wxExpectModal<wxMessageDialog>(wxID_YES),
                  gui_test::ExpectFile(Folder() + "/anim.xml"));
    EXPECT_TRUE(Destroyed());
    EXPECT_TRUE(wxFileExists(Folder() + "/anim.xml"));
}

TEST_F(DocumentsTest, AnUnusableProjectLeavesTheWorkAsItWasAndSaysWhy) {
    const std::string path = "<path>" + gui_test::WritePicture(Folder() + "/new.png", 30, 20).utf8_string() + "</path>";
    const auto project = [](const std::string& name, const std::string& gif, const std::string& images) {
        return "<project><name>" + name + "</name><gif>" + gif + "</gif><images>" + images + "</images></project>";
    };
    const std::string gif = "<width>6</width><height>5</height><delay_time>33</delay_time>";
    std::string nested = "<project><name>";
    for (int i = 0; i < 100000; ++i)
        nested += "<a>";
    const struct {
        const char* file;
        std::string text;
        const char* says;
    } cases[] = {
        {"swapped.xml", project("n.gif", "<height>5</height><width>6</width><delay_time>3</delay_time>", path),
         "<width> is missing or out of place"},
        {"garbage.xml", std::string(10, '\x01') + "<project><name>", "not a readable XML file"},
        {"truncated.xml", project("n.gif", gif, path).substr(0, 150), "not a readable XML file"},
        {"delay.xml", project("n.gif", "<width>6</width><height>5</height><delay_time>-5</delay_time>", path),
         "<delay_time> is \"-5\""},
        {"escape.xml", project("../../out/traversal", gif, path), "contains a folder"},
        {"nested.xml", nested, "nested deeper"}};
    AddPictures({{40, 30}, {40, 30}});
    SaveProjectAs(Folder() + "/kept.xml");
    const wxString title = frame->GetTitle();
    for (const auto& c : cases) {
        const wxString file = Folder() + "/" + c.file;
        test_files::Write(file, c.text);
        wxString shown;
        wxTEST_DIALOG(Command(&MyFrame::OnOpenProject), gui_test::ExpectFile(file),
                      gui_test::ExpectMessage(wxID_OK, &shown));
        EXPECT_TRUE(shown.Contains(c.file) && shown.Contains(wxString::FromUTF8(c.says))) << shown;
        EXPECT_EQ(Count(), 2) << c.file;
        EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 40) << c.file;
        EXPECT_EQ(frame->GetTitle(), title) << c.file;
    }
    EXPECT_TRUE(frame->Close()) << "the kept project is still the saved work";
}

TEST_F(DocumentsTest, ClosingAsksWhenTheFramesDifferFromTheSavedOnesEvenInNumberAlike) {
    const std::vector<wxString> pictures = AddPictures({{40, 30}, {40, 30}, {40, 30}});
    SaveProjectAs(Folder() + "/anim.xml");
    wxThumbnailCtrl* strip = frame->GetThumbnailCtrl();
    strip->Delete(0);  // the first frame replaced by a new picture
    AddPictures({{40, 30}});
    wxTEST_DIALOG(EXPECT_FALSE(frame->Close()), wxExpectModal<wxMessageDialog>(wxID_CANCEL));
    strip->Delete(2);
    AddFiles({pictures[0]});  // the second, the third, then the first: the same files in another order
    ASSERT_EQ(Count(), 3);
    wxTEST_DIALOG(EXPECT_FALSE(frame->Close()), wxExpectModal<wxMessageDialog>(wxID_CANCEL));
    for (int i = 0; i < 3; ++i)
        strip->Delete(0);
    AddFiles(pictures);  // back as saved
    EXPECT_TRUE(frame->Close());
    EXPECT_TRUE(Destroyed());
}
