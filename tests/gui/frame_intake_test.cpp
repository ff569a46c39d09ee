// Pictures entering the window: hostile files are named after the batch, the good ones join in the
// order given, Cancel keeps what was added, and a file changed after adding is neither shown nor saved.
#include "tests/support/gui_test.h"
#include "tests/support/picture_bytes.h"

#include <wx/eventfilter.h>
#include <wx/filename.h>
#include <wx/progdlg.h>

namespace {

// Presses Cancel in the loading progress dialog once the strip holds `after` frames or more.
class CancelWhileLoading : public wxEventFilter {
public:
    CancelWhileLoading(wxThumbnailCtrl* strip, int after) : m_strip(strip), m_after(after) { wxEvtHandler::AddFilter(this); }
    ~CancelWhileLoading() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent&) override {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxGenericProgressDialog*>(window);
            if (!pressed && m_strip->GetCount() >= m_after && dialog && dialog->IsShown()) {
                pressed = true;
                wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
                dialog->ProcessWindowEvent(cancel);
            }
        }
        return Event_Skip;
    }
    bool pressed = false;

private:
    wxThumbnailCtrl* const m_strip;
    const int m_after;
};

}  // namespace

TEST_F(MainWindowTest, RefusedPicturesAreNamedOnceWithTheirReasonsAndTheGoodOnesAdded) {
    const auto write = [this](const wxString& name, const picture_bytes::Bytes& bytes) {
        return picture_bytes::Write(Folder() + "/" + name, bytes) ? Folder() + "/" + name : wxString();
    };
    const wxString good1 = gui_test::WritePicture(Folder() + "/good1.png", 60, 40);
    const wxString lzw = write("lzw15.gif", picture_bytes::GifWithCodeSize(15));
    const wxString iff = write("iff.png", {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'I', 'L', 'B', 'M'});
    const wxString missing = Folder() + "/missing.jpg";
    const wxString good2 = write("good2.bmp", picture_bytes::Encode(picture_bytes::Ramp(30, 20), wxBITMAP_TYPE_BMP));
    wxString shown;
    wxTEST_DIALOG(AddFiles({good1, lzw, iff, missing, good2}), gui_test::ExpectMessage(wxID_OK, &shown));
    EXPECT_EQ(FrameNames(), (std::vector<std::string>{"good1.png", "good2.bmp"}));
    EXPECT_EQ(shown, "These files were not added:\n" + lzw + ": damaged\n" + iff + ": not a supported picture\n" +
                         missing + ": cannot be read: No such file or directory");
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 60);
    AddPictures({{40, 30}});  // nothing refused, nothing said
    EXPECT_EQ(Count(), 3);
}

TEST_F(MainWindowTest, CancelWhileLoadingKeepsTheFramesAlreadyAdded) {
    std::vector<wxString> paths;
    for (int i = 0; i < 80; ++i)
        paths.push_back(gui_test::WritePicture(wxString::Format("%s/c%02d.png", Folder(), i), 800, 600));
    CancelWhileLoading cancel(frame->GetThumbnailCtrl(), 3);
    AddFiles(paths);
    ASSERT_TRUE(cancel.pressed);
    const std::vector<std::string> added = FrameNames();
    EXPECT_TRUE(added.size() >= 3 && added.size() < 80) << added.size();
    for (size_t i = 0; i < added.size(); ++i)
        EXPECT_EQ(added[i], wxString::Format("c%02zu.png", i).ToStdString());
    EXPECT_EQ(FrameCommandsEnabled(), 1);
}

TEST_F(MainWindowTest, AFileChangedAfterAddingIsNeitherShownNorSaved) {
    const wxString changing = gui_test::WritePicture(Folder() + "/changing.png", 64, 48, *wxBLUE);
    AddFiles({gui_test::WritePicture(Folder() + "/steady.png", 64, 48), changing});
    ASSERT_TRUE(picture_bytes::Write(changing, picture_bytes::Encode(picture_bytes::Ramp(65, 48), wxBITMAP_TYPE_PNG)));
    ClickFrame(1);
    EXPECT_EQ(frame->m_currentPictureSize, wxSize(0, 0));
    frame->m_gifPath = Folder() + "/out.gif";
    wxString shown;
    wxTEST_DIALOG(Command(&MyFrame::OnSaveGif), gui_test::ExpectMessage(wxID_OK, &shown));
    EXPECT_TRUE(shown.Contains(changing + ": changed since it was added")) << shown;
    EXPECT_FALSE(wxFileName::FileExists(Folder() + "/out.gif"));
}
