// Files and folders dropped on the main window: before the frame they land on, else at the end, in
// natural order; a project dropped alone opens after the unsaved-work question; refused files are named.
#include "project/project_file.h"
#include "tests/support/files.h"
#include "tests/support/gui_test.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/dnd.h>
#include <wx/filename.h>
#include <wx/panel.h>

namespace {

using Names = std::vector<std::string>;

class FileDropTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        strip = frame->GetThumbnailCtrl();
        first = AddPictures({{30, 20}, {30, 20}, {30, 20}});  // p1.png, p2.png, p3.png
    }
    // As the file manager's drop reaches the window's target; the window takes the files after it.
    void Drop(wxWindow* window, const wxPoint& point, const std::vector<wxString>& paths) {
        auto* target = dynamic_cast<wxFileDropTarget*>(window->GetDropTarget());
        ASSERT_TRUE(target && target->OnDropFiles(point.x, point.y, wxArrayString(paths.size(), paths.data())));
        gui_test::Pump(100);
    }
    wxPoint In(int cell, const wxPoint& offset) {
        wxRect rect;
        EXPECT_TRUE(strip->GetItemRect(cell, rect));
        return rect.GetPosition() + offset;
    }
    wxString Picture(const wxString& name) { return gui_test::WritePicture(Folder() + "/" + name, 30, 20); }

    wxThumbnailCtrl* strip = nullptr;
    std::vector<wxString> first;
};

}  // namespace

TEST_F(FileDropTest, DroppedFilesGoBeforeTheFrameTheyLandOnElseAtTheEnd) {
    const std::vector<wxString> files = {Picture("f10.png"), Picture("F2.png")};
    ASSERT_TRUE(wxFileName::Mkdir(Folder() + "/shots/sub", wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    for (const char* name : {"frame10.png", "frame2.png", "Frame1.png", "sub/frame3.png"})
        Picture(wxString("shots/") + name);
    const struct {
        wxWindow* window;
        wxPoint point;
        std::vector<wxString> dropped;
        Names names;
    } cases[] = {
        {strip, In(1, {10, 10}), files, {"p1.png", "F2.png", "f10.png", "p2.png", "p3.png"}},
        {strip, In(0, {strip->m_itemWidth + 1, 10}), files, {"p1.png", "p2.png", "p3.png", "F2.png", "f10.png"}},  // a gap
        {strip, In(2, {10, 10}), {Folder() + "/shots"}, {"p1.png", "p2.png", "Frame1.png", "frame2.png", "frame10.png", "p3.png"}},
    };
    for (const auto& c : cases) {
        Command(&MyFrame::OnClearAll);
        AddFiles(first);
        Drop(c.window, c.point, c.dropped);
        EXPECT_EQ(FrameNames(), c.names) << c.point.x << "," << c.point.y;
    }
    Command(&MyFrame::OnClearAll);
    frame->OpenFromCommandLine(wxArrayString(files.size(), files.data()));
    EXPECT_EQ(FrameNames(), (Names{"F2.png", "f10.png"})) << "named on the command line";
}

TEST_F(FileDropTest, RefusedFilesAreNamedAndAFolderWithoutPicturesIsSaid) {
    const wxString broken = Folder() + "/broken.png", missing = Folder() + "/missing.png", empty = Folder() + "/empty";
    test_files::Write(broken, "not a picture");
    wxString shown;
    wxTEST_DIALOG(Drop(frame->m_panel2, {5, 5}, {missing, Picture("good.png"), broken}),  // the preview appends
                  gui_test::ExpectMessage(wxID_OK, &shown));
    EXPECT_TRUE(shown.Contains(broken) && shown.Contains(missing)) << shown;
    EXPECT_EQ(FrameNames(), (Names{"p1.png", "p2.png", "p3.png", "good.png"}));
    ASSERT_TRUE(wxFileName::Mkdir(empty));
    wxTEST_DIALOG(Drop(strip, {5, 5}, {empty}), gui_test::ExpectMessage(wxID_OK, &shown));
    EXPECT_EQ(shown, "The dropped folders hold no pictures.");
    EXPECT_EQ(Count(), 4);
}

TEST_F(FileDropTest, AProjectDroppedAloneOpensAfterTheUnsavedWorkQuestion) {
    project_file::ProjectContents contents{"", 30, 20, 40, 0, {Picture("walk1.png"), Picture("walk2.png")}};
    const wxString project = Folder() + "/walk.xml";
    ASSERT_TRUE(project_file::Save(project, contents).ok);
    wxTEST_DIALOG(Drop(strip, {5, 5}, {project}), wxExpectModal<wxMessageDialog>(wxID_CANCEL));
    EXPECT_EQ(FrameNames(), (Names{"p1.png", "p2.png", "p3.png"}));
    wxTEST_DIALOG(Drop(frame->m_panel2, {5, 5}, {project}), wxExpectModal<wxMessageDialog>(wxID_NO));
    EXPECT_EQ(FrameNames(), (Names{"walk1.png", "walk2.png"}));
    EXPECT_EQ(frame->GetTitle(), "walk - Quintrel Tavelle");
}
