// Pictures entering the window, added, dropped or named on the command line: dropped ones go before the
// frame they land on, else at the end, in natural order (what a dropped folder gives is a headless rule);
// hostile files are named after the batch and the good ones join in the order given; Cancel keeps what was
// added; a file changed after adding is neither shown nor saved; a project dropped alone opens after the
// unsaved-work question.
#include "project/project_file.h"
#include "tests/support/gui_test.h"
#include "tests/support/picture_bytes.h"

#include <wx/dnd.h>
#include <wx/filename.h>
#include <wx/progdlg.h>

namespace {

using Names = std::vector<std::string>;

class IntakeTest : public MainWindowTest {
protected:
    // As the file manager's drop reaches the window's target; the window takes the files after it.
    void Drop(wxWindow* window, const wxPoint& point, const std::vector<wxString>& paths) {
        auto* target = dynamic_cast<wxFileDropTarget*>(window->GetDropTarget());
        ASSERT_TRUE(target && target->OnDropFiles(point.x, point.y, wxArrayString(paths.size(), paths.data())));
        gui_test::Pump(100);
    }
    wxString Picture(const wxString& name) { return gui_test::WritePicture(Folder() + "/" + name, 30, 20); }
};

}  // namespace

TEST_F(IntakeTest, DroppedFilesGoBeforeTheFrameTheyLandOnElseAtTheEnd) {
    const std::vector<wxString> first = AddPictures({{30, 20}, {30, 20}, {30, 20}});  // p1.png, p2.png, p3.png
    const std::vector<wxString> files = {Picture("f10.png"), Picture("F2.png")};
    const Names appended = {"p1.png", "p2.png", "p3.png", "F2.png", "f10.png"};
    const std::tuple<wxWindow*, wxPoint, Names> cases[] = {
        {Strip(), InCell(1), {"p1.png", "F2.png", "f10.png", "p2.png", "p3.png"}},
        {Strip(), InCell(0, 1) + wxPoint(1, 0), appended},  // a gap
        {frame->m_panel2, {5, 5}, appended},                 // the preview appends
    };
    for (const auto& [window, point, names] : cases) {
        Command(&MyFrame::OnClearAll);
        AddFiles(first);
        Drop(window, point, files);
        EXPECT_EQ(FrameNames(), names) << point.x << "," << point.y;
    }
    Command(&MyFrame::OnClearAll);
    frame->OpenFromCommandLine(wxArrayString(files.size(), files.data()));
    EXPECT_EQ(FrameNames(), (Names{"F2.png", "f10.png"})) << "named on the command line";
}

TEST_F(IntakeTest, RefusedPicturesAreNamedOnceWithTheirReasonsAndTheGoodOnesAdded) {
    using picture_bytes::WriteScratch;
    const wxString lzw = WriteScratch("lzw15.gif", picture_bytes::GifWithCodeSize(15)), missing = Folder() + "/missing.jpg";
    const wxString iff = WriteScratch("iff.png", {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'I', 'L', 'B', 'M'});
    wxString shown;
    wxTEST_DIALOG(AddFiles({Picture("good1.png"), lzw, iff, missing, Picture("good2.png")}), gui_test::ExpectMessage(wxID_OK, &shown));
    EXPECT_EQ(FrameNames(), (Names{"good1.png", "good2.png"}));
    EXPECT_EQ(shown.utf8_string(), ("These files were not added:\n" + lzw + ": damaged\n" + iff + ": not a supported picture\n" +
                                    missing + ": cannot be read: No such file or directory").utf8_string());
    ASSERT_TRUE(wxFileName::Mkdir(Folder() + "/empty"));
    wxTEST_DIALOG(Drop(frame->GetThumbnailCtrl(), {5, 5}, {Folder() + "/empty"}), gui_test::ExpectMessage(wxID_OK, &shown));
    EXPECT_EQ(shown, "The dropped folders hold no pictures.");
}

TEST_F(IntakeTest, CancelWhileLoadingKeepsTheFramesAlreadyAdded) {
    // One picture written and copied, so that the batch is long enough to cancel on a quiet machine.
    std::vector<wxString> paths{gui_test::WritePicture(Folder() + "/c000.png", 800, 600)};
    for (int i = 1; i < 200; ++i) {
        paths.push_back(Folder() + wxString::Format("/c%03d.png", i));
        wxCopyFile(paths[0], paths.back());
    }
    gui_test::WhileRunning cancel([&] {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<wxGenericProgressDialog*>(window); Count() >= 3 && dialog && dialog->IsShown()) {
                wxCommandEvent press(wxEVT_BUTTON, wxID_CANCEL);
                dialog->ProcessWindowEvent(press);
                return true;
            }
        return false;
    });
    AddFiles(paths);
    const std::vector<wxString> added = FramePaths();
    ASSERT_TRUE(added.size() >= 3 && added.size() < paths.size()) << added.size() << " of " << paths.size() << " added";
    EXPECT_TRUE(added == std::vector<wxString>(paths.begin(), paths.begin() + added.size())) << "not the first files in order";
    EXPECT_EQ(FrameCommandsEnabled(), 1);
}

TEST_F(IntakeTest, AFileChangedAfterAddingIsNeitherShownNorSaved) {
    const wxString changing = Picture("changing.png");
    AddFiles({Picture("steady.png"), changing});
    gui_test::WritePicture(changing, 300, 200);  // another size, so another file whatever the clock
    ClickFrame(1);
    EXPECT_EQ(frame->m_currentPictureSize, wxSize(0, 0));
    frame->m_gifPath = Folder() + "/out.gif";
    wxString shown;
    wxTEST_DIALOG(Command(&MyFrame::OnSaveGif), gui_test::ExpectMessage(wxID_OK, &shown));
    EXPECT_TRUE(shown.Contains(changing + ": changed since it was added")) << shown;
    EXPECT_FALSE(wxFileName::FileExists(Folder() + "/out.gif"));
}

TEST_F(IntakeTest, AProjectDroppedAloneOpensAfterTheUnsavedWorkQuestion) {
    AddPictures({{30, 20}, {30, 20}});
    const wxString project = Folder() + "/walk.xml";
    ASSERT_TRUE(project_file::Save(project, {"", 30, 20, 40, 0, {Picture("walk1.png"), Picture("walk2.png")}}).ok);
    wxTEST_DIALOG(Drop(frame->GetThumbnailCtrl(), {5, 5}, {project}), wxExpectModal<wxMessageDialog>(wxID_CANCEL));
    EXPECT_EQ(FrameNames(), (Names{"p1.png", "p2.png"}));
    wxTEST_DIALOG(Drop(frame->m_panel2, {5, 5}, {project}), wxExpectModal<wxMessageDialog>(wxID_NO));
    EXPECT_EQ(FrameNames(), (Names{"walk1.png", "walk2.png"}));
}
