// Files and folders dropped on the main window go before the frame they land on, or at the end, in
// natural order; a folder gives its pictures, a project dropped alone opens after the unsaved-work
// question, and refused files are named as Add Image names them.
#include "project/project_file.h"
#include "tests/support/files.h"
#include "tests/support/gui_test.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/dnd.h>
#include <wx/filename.h>
#include <wx/panel.h>

namespace {

class FileDropTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        first = AddPictures({{30, 20}, {30, 20}, {30, 20}});
    }
    // As the file manager's drop reaches the window's drop target; the window takes the files once
    // the drop has ended.
    void Drop(wxWindow* window, const wxPoint& point, const std::vector<wxString>& paths) {
        auto* target = dynamic_cast<wxFileDropTarget*>(window->GetDropTarget());
        ASSERT_NE(target, nullptr);
        wxArrayString list;
        for (const wxString& path : paths)
            list.Add(path);
        EXPECT_TRUE(target->OnDropFiles(point.x, point.y, list));
        gui_test::Pump(100);
    }
    wxRect Cell(int index) {
        wxRect cell;
        EXPECT_TRUE(frame->GetThumbnailCtrl()->GetItemRect(index, cell));
        return cell;
    }
    wxString Picture(const wxString& name) { return gui_test::WritePicture(Folder() + "/" + name, 30, 20); }

    std::vector<wxString> first;  // p1.png, p2.png, p3.png in the strip
};

}  // namespace

TEST_F(FileDropTest, DroppedFilesGoBeforeTheFrameTheyLandOnElseAtTheEnd) {
    const std::vector<wxString> files = {Picture("f10.png"), Picture("F2.png")};
    const wxString folder = Folder() + "/shots";
    ASSERT_TRUE(wxFileName::Mkdir(folder + "/sub", wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    for (const char* name : {"frame10.png", "frame2.png", "Frame1.png", "sub/frame3.png"})
        Picture(wxString("shots/") + name);
    const struct {
        const char* where;
        wxWindow* window;
        wxPoint point;
        std::vector<wxString> dropped;
        std::vector<std::string> names;
    } cases[] = {
        {"on frame 2", frame->GetThumbnailCtrl(), Cell(1).GetPosition() + wxPoint(10, 10), files,
         {"p1.png", "F2.png", "f10.png", "p2.png", "p3.png"}},
        {"on frame 1", frame->GetThumbnailCtrl(), Cell(0).GetPosition() + wxPoint(2, 2), files,
         {"F2.png", "f10.png", "p1.png", "p2.png", "p3.png"}},
        {"between two cells", frame->GetThumbnailCtrl(), wxPoint(Cell(0).GetRight() + 2, Cell(0).y + 10), files,
         {"p1.png", "p2.png", "p3.png", "F2.png", "f10.png"}},
        {"below the cells", frame->GetThumbnailCtrl(), wxPoint(Cell(2).x + 10, Cell(2).GetBottom() + 20), files,
         {"p1.png", "p2.png", "p3.png", "F2.png", "f10.png"}},
        {"on the preview", frame->m_panel2, wxPoint(20, 20), files, {"p1.png", "p2.png", "p3.png", "F2.png", "f10.png"}},
        {"a folder on frame 3", frame->GetThumbnailCtrl(), Cell(2).GetPosition() + wxPoint(10, 10), {folder},
         {"p1.png", "p2.png", "Frame1.png", "frame2.png", "frame10.png", "p3.png"}},
    };
    for (const auto& c : cases) {
        Command(&MyFrame::OnClearAll);
        AddFiles(first);
        Drop(c.window, c.point, c.dropped);
        EXPECT_EQ(FrameNames(), c.names) << c.where;
    }
    Command(&MyFrame::OnClearAll);
    frame->OpenFromCommandLine(wxArrayString(files.size(), files.data()));
    EXPECT_EQ(FrameNames(), (std::vector<std::string>{"F2.png", "f10.png"})) << "named on the command line";
}

TEST_F(FileDropTest, RefusedFilesAreNamedAndAFolderWithoutPicturesIsSaid) {
    const wxString broken = Folder() + "/broken.png", missing = Folder() + "/missing.png";
    test_files::Write(broken, "not a picture");
    wxString shown;
    wxTEST_DIALOG(Drop(frame->m_panel2, wxPoint(5, 5), {missing, Picture("good.png"), broken}),
                  gui_test::ExpectMessage(wxID_OK, &shown));
    EXPECT_TRUE(shown.Contains(broken) && shown.Contains(missing)) << shown;
    EXPECT_EQ(FrameNames(), (std::vector<std::string>{"p1.png", "p2.png", "p3.png", "good.png"}));

    ASSERT_TRUE(wxFileName::Mkdir(Folder() + "/empty"));
    wxTEST_DIALOG(Drop(frame->GetThumbnailCtrl(), wxPoint(5, 5), {Folder() + "/empty"}),
                  gui_test::ExpectMessage(wxID_OK, &shown));
    EXPECT_EQ(shown, "The dropped folders hold no pictures.");
    EXPECT_EQ(Count(), 4);
}

TEST_F(FileDropTest, AProjectDroppedAloneOpensAfterTheUnsavedWorkQuestion) {
    project_file::ProjectContents contents;
    contents.width = 30;
    contents.height = 20;
    contents.delay = 40;
    contents.imagePaths = {Picture("walk1.png"), Picture("walk2.png")};
    const wxString project = Folder() + "/walk.xml";
    ASSERT_TRUE(project_file::Save(project, contents).ok);

    wxTEST_DIALOG(Drop(frame->GetThumbnailCtrl(), wxPoint(5, 5), {project}), wxExpectModal<wxMessageDialog>(wxID_CANCEL));
    EXPECT_EQ(FrameNames(), (std::vector<std::string>{"p1.png", "p2.png", "p3.png"}));
    wxTEST_DIALOG(Drop(frame->m_panel2, wxPoint(5, 5), {project}), wxExpectModal<wxMessageDialog>(wxID_NO));
    EXPECT_EQ(FrameNames(), (std::vector<std::string>{"walk1.png", "walk2.png"}));
    EXPECT_EQ(frame->GetTitle(), "walk - Quintrel Tavelle");
    EXPECT_EQ(frame->m_savedDelay, 40);
}
