// Pictures entering the window: hostile files are named after the batch, the good ones join in the
// order given, Cancel keeps what was added, and full pictures are read again only when shown or saved.
#include "tests/gui/frame_window_fixture.h"
#include "tests/support/picture_bytes.h"
#include "window/frame_picture_cache.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/eventfilter.h>
#include <wx/ffile.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>

#include <memory>

namespace {

struct ShownList {
    wxString message;
    wxString list;
    int count = 0;
};

// Answers the refused-files message and keeps what it said.
class ExpectRefusedList : public wxExpectModalBase<wxMessageDialog, ExpectRefusedList> {
public:
    explicit ExpectRefusedList(std::shared_ptr<ShownList> seen) : m_seen(std::move(seen)) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override {
        m_seen->message = dialog->GetMessage();
        m_seen->list = dialog->GetExtendedMessage();
        ++m_seen->count;
        return wxID_OK;
    }

private:
    std::shared_ptr<ShownList> m_seen;
};

// Presses Cancel in the loading progress dialog once the strip holds `after` frames or more.
class CancelWhileLoading : public wxEventFilter {
public:
    CancelWhileLoading(wxThumbnailCtrl* strip, int after) : m_strip(strip), m_after(after) {
        wxEvtHandler::AddFilter(this);
    }
    ~CancelWhileLoading() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent&) override {
        if (m_pressed || m_strip->GetCount() < m_after)
            return Event_Skip;
        for (wxWindow* window : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxGenericProgressDialog*>(window);
            if (dialog && dialog->IsShown()) {
                m_pressed = true;
                wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
                dialog->ProcessWindowEvent(cancel);
            }
        }
        return Event_Skip;
    }
    bool Pressed() const { return m_pressed; }

private:
    wxThumbnailCtrl* const m_strip;
    const int m_after;
    bool m_pressed = false;
};

class FrameIntakeTest : public FrameWindowTest {
protected:
    wxThumbnailCtrl* Strip() { return frame->m_thumbnailCtrl; }

    wxString Write(const wxString& name, const picture_bytes::Bytes& bytes) {
        const wxString path = wxGetHomeDir() + "/" + name;
        EXPECT_TRUE(picture_bytes::Write(path, bytes));
        return path;
    }
};

}  // namespace

TEST_F(FrameIntakeTest, RefusedFilesAreNamedOnceWithTheirReasonsAndTheGoodOnesAdded) {
    const wxString good1 = Picture("good1.png", 60, 40);
    const wxString lzw = Write("lzw15.gif", picture_bytes::GifWithCodeSize(15));
    const wxString iff = Write("iff.png", {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'I', 'L', 'B', 'M'});
    const wxString missing = wxGetHomeDir() + "/missing.jpg";
    const wxString good2 = Write("good2.bmp", picture_bytes::Encode(picture_bytes::Ramp(30, 20), wxBITMAP_TYPE_BMP));
    auto seen = std::make_shared<ShownList>();
    wxTEST_DIALOG(AddFiles({good1, lzw, iff, missing, good2}), ExpectRefusedList(seen));
    EXPECT_EQ(FrameNames(), (std::vector<std::string>{"good1.png", "good2.bmp"}));
    EXPECT_EQ(seen->count, 1);
    EXPECT_EQ(seen->message, "These files were not added:");
    EXPECT_EQ(seen->list, lzw + ": damaged\n" + iff + ": not a supported picture\n" + missing +
                              ": cannot be read: No such file or directory");
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 60);

    // Nothing refused, nothing said.
    AddFiles({Picture("good3.png")});
    EXPECT_EQ(Strip()->GetCount(), 3);
}

TEST_F(FrameIntakeTest, CancelKeepsTheFramesAlreadyAdded) {
    std::vector<wxString> paths;
    for (int i = 0; i < 80; ++i)
        paths.push_back(Picture(wxString::Format("c%02d.png", i), 800, 600));
    CancelWhileLoading cancel(Strip(), 3);
    AddFiles(paths);
    ASSERT_TRUE(cancel.Pressed());
    const int added = Strip()->GetCount();
    EXPECT_GE(added, 3);
    EXPECT_LT(added, 80);
    const std::vector<std::string> names = FrameNames();
    for (int i = 0; i < added; ++i)
        EXPECT_EQ(names[size_t(i)], wxString::Format("c%02d.png", i).ToStdString());
    ExpectFrameCommandsEnabled(true);
}

TEST_F(FrameIntakeTest, FramesKeepNoFullPictureAndTheCacheStaysWithinItsBudget) {
    std::vector<wxString> paths;
    for (int i = 0; i < 4; ++i)
        paths.push_back(Picture(wxString::Format("m%d.png", i), 200, 100));
    AddFiles(paths);
    // Two frames' worth of pictures (two bitmaps of 4 bytes a pixel each).
    FramePictureCache cache(2 * 200 * 100 * 8);
    for (int i = 0; i < 4; ++i) {
        const auto* item = dynamic_cast<wxImageThumbnailItem*>(Strip()->GetItem(i));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->m_pictureSize, wxSize(200, 100));
        const FramePictureCache::Pictures pictures = cache.Get(*item);
        EXPECT_EQ(pictures.picture.GetSize(), wxSize(200, 100));
        EXPECT_EQ(pictures.reduced.GetSize(), wxSize(200, 100));
        EXPECT_LE(cache.CachedCount(), 2u);
    }
    EXPECT_EQ(cache.CachedCount(), 2u);
}

TEST_F(FrameIntakeTest, FileChangedAfterAddingIsNotShownAndNotSaved) {
    const wxString changing = Picture("changing.png", 64, 48, *wxBLUE);
    AddFiles({Picture("steady.png", 64, 48), changing});
    ASSERT_TRUE(picture_bytes::Write(changing, picture_bytes::Encode(picture_bytes::Ramp(65, 48), wxBITMAP_TYPE_PNG)));

    ClickFrame(1);
    EXPECT_FALSE(frame->m_currentBitmap.IsOk());
    const wxImage preview = Preview();
    EXPECT_TRUE(SameColour(preview, wxPoint(preview.GetWidth() / 2, preview.GetHeight() / 2), PreviewBackground()));

    const wxString target = wxGetHomeDir() + "/out.gif";
    frame->m_gifPath = target;
    auto seen = std::make_shared<ShownList>();
    wxTEST_DIALOG(Command(&MyFrame::OnSaveGif), ExpectRefusedList(seen));
    EXPECT_TRUE(seen->message.Contains(changing + ": changed since it was added")) << seen->message;
    EXPECT_FALSE(wxFileName::FileExists(target));
}
