// The frame list commands, the frame click and the setting controls of the main window.
#include "tests/gui/frame_window_fixture.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/app.h>
#include <wx/eventfilter.h>
#include <wx/filedlg.h>
#include <wx/ffile.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>
#include <wx/uiaction.h>

#include <set>

namespace {

using Names = std::vector<std::string>;

wxArrayString Paths(std::initializer_list<wxString> paths) {
    wxArrayString list;
    for (const wxString& path : paths)
        list.push_back(path);
    return list;
}

// Answers an image file dialog with one file after checking how the command built the dialog.
class ExpectImageDialog : public wxExpectModalBase<wxFileDialog> {
public:
    ExpectImageDialog(const wxString& title, const wxString& path, int answer = wxID_OK)
        : m_title(title), m_path(path), m_answer(answer) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override {
        EXPECT_EQ(dialog->GetMessage(), m_title);
        EXPECT_EQ(dialog->GetWildcard(), "Image files (*.png;*.jpg;*.bmp;*.gif)|*.png;*.jpg;*.jpeg;*.bmp;*.gif");
        EXPECT_TRUE(dialog->HasFdFlag(wxFD_OPEN));
        EXPECT_TRUE(dialog->HasFdFlag(wxFD_FILE_MUST_EXIST));
        EXPECT_TRUE(dialog->HasFdFlag(wxFD_MULTIPLE));
        EXPECT_EQ(dialog->GetParent(), wxTheApp->GetTopWindow());
        if (m_answer == wxID_OK)
            dialog->SetPath(m_path);
        return m_answer;
    }

private:
    wxString m_title, m_path;
    int m_answer;
};

// Answers the delete question after checking it.
class ExpectDeleteQuestion : public wxExpectModalBase<wxMessageDialog> {
public:
    explicit ExpectDeleteQuestion(int answer) : m_answer(answer) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override {
        EXPECT_EQ(dialog->GetMessage(), "Are you sure you want to delete selected image(s)?");
        EXPECT_EQ(dialog->GetTitle(), "Confirm");
        const long style = dialog->GetMessageDialogStyle();
        EXPECT_TRUE((style & wxYES_NO) == wxYES_NO);
        EXPECT_TRUE(style & wxNO_DEFAULT);
        EXPECT_TRUE(style & wxICON_INFORMATION);
        return m_answer;
    }

private:
    int m_answer;
};

// Counts the change notifications a control sends, beside the window's own handlers.
struct ChangeCounter {
    explicit ChangeCounter(wxWindow* control) {
        control->Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
            ++count;
            event.Skip();
        });
    }
    int count = 0;
};

// Watches for progress dialogs while frames load, noting every text they show.
class ProgressWatcher : public wxEventFilter {
public:
    ProgressWatcher() { wxEvtHandler::AddFilter(this); }
    ~ProgressWatcher() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override {
        for (wxObject* object = event.GetEventObject(); object;) {
            auto* dialog = dynamic_cast<wxGenericProgressDialog*>(object);
            if (dialog && dialog->IsShown()) {
                titles.insert(dialog->GetTitle().ToStdString());
                messages.insert(dialog->GetMessage().ToStdString());
                break;
            }
            auto* window = dynamic_cast<wxWindow*>(object);
            object = window ? window->GetParent() : nullptr;
        }
        return Event_Skip;
    }
    std::set<std::string> titles, messages;
};

class FrameEditingTest : public FrameWindowTest {
protected:
    wxThumbnailCtrl* Strip() { return frame->m_thumbnailCtrl; }
    wxString Status(int field) { return frame->m_statusBar1->GetStatusText(field); }
    void Select(std::initializer_list<int> indices) {
        Strip()->m_selections.clear();
        for (int n : indices)
            Strip()->Select(n, true);
    }
    // Frames named a0.png ... of the given count, each 40 x 30.
    Names AddNamed(int count) {
        std::vector<wxString> paths;
        Names names;
        for (int i = 0; i < count; ++i) {
            names.push_back(wxString::Format("f%d.png", i).ToStdString());
            paths.push_back(Picture(names.back(), 40, 30));
        }
        AddFiles(paths);
        return names;
    }
};

}  // namespace

TEST_F(FrameEditingTest, AddImageAppendsInDialogOrderWithTheDelayAndEnablesTheCommands) {
    frame->m_spinctrl_delay->SetValue(25);
    const wxString first = Picture("first.png", 320, 240);
    wxTEST_DIALOG(Command(&MyFrame::OnAddImage), ExpectImageDialog("Add Image Files", first));
    EXPECT_EQ(FrameNames(), Names{"first.png"});
    EXPECT_EQ(Strip()->m_delay, 25);
    ExpectFrameCommandsEnabled(true);
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 320);
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 240);
    EXPECT_EQ(Status(0), "Untitled.gif (320 * 240)px");
    EXPECT_EQ(frame->m_baseWidth, 320);
    EXPECT_EQ(frame->m_outputHeight, 240);

    // More files through the same path after the dialog, in order; refused ones are named afterwards.
    {
        wxString garbage = wxGetHomeDir() + "/garbage.png";
        wxFFile(garbage, "w").Write("no picture here");
        wxTEST_DIALOG(AddFiles({Picture("b.png", 100, 50), wxGetHomeDir() + "/missing.png", garbage,
                                Picture("c.jpeg", 50, 100)}),
                      wxExpectModal<wxMessageDialog>(wxID_OK));
    }
    EXPECT_EQ(FrameNames(), (Names{"first.png", "b.png", "c.jpeg"}));
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 320);

    // A cancelled dialog adds nothing.
    wxTEST_DIALOG(Command(&MyFrame::OnAddImage), ExpectImageDialog("Add Image Files", "", wxID_CANCEL));
    EXPECT_EQ(Strip()->GetCount(), 3);
}

TEST_F(FrameEditingTest, AddingOnlyUnreadableFilesStillEnablesTheCommands) {
    wxTEST_DIALOG(AddFiles({wxGetHomeDir() + "/missing.png"}), wxExpectModal<wxMessageDialog>(wxID_OK));
    EXPECT_EQ(Strip()->GetCount(), 0);
    ExpectFrameCommandsEnabled(true);
    EXPECT_EQ(Status(0), "");
}

TEST_F(FrameEditingTest, FoundSizeIsTheFirstPictureLargerInEitherDirection) {
    AddFiles({Picture("wide.png", 100, 50), Picture("tall.png", 50, 100)});
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 50);
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 100);
    Command(&MyFrame::OnClearAll);
    AddFiles({Picture("tall.png", 50, 100), Picture("wide.png", 100, 50)});
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 100);
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 50);
    EXPECT_EQ(Status(0), "Untitled.gif (100 * 50)px");
}

TEST_F(FrameEditingTest, InsertPutsTheChosenFilesBeforeTheFirstSelectedFrameInReverseOrder) {
    AddNamed(5);
    Select({2});
    frame->InsertImageFiles(Paths({Picture("a.png"), Picture("b.png")}));
    EXPECT_EQ(FrameNames(), (Names{"f0.png", "f1.png", "b.png", "a.png", "f2.png", "f3.png", "f4.png"}));
    // The strip keeps the same frame selected; a dialog insertion goes before it again.
    EXPECT_EQ(Strip()->m_selections[0], 4);
    const wxString c = Picture("c.png", 640, 480);
    wxTEST_DIALOG(Command(&MyFrame::OnInsertImage), ExpectImageDialog("Insert Image Files", c));
    EXPECT_EQ(FrameNames(), (Names{"f0.png", "f1.png", "b.png", "a.png", "c.png", "f2.png", "f3.png", "f4.png"}));
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 640);

    // Cancelling, also right after an insertion, inserts nothing.
    wxTEST_DIALOG(Command(&MyFrame::OnInsertImage), ExpectImageDialog("Insert Image Files", "", wxID_CANCEL));
    EXPECT_EQ(Strip()->GetCount(), 8);

    // The selection earliest made decides, not the lowest index; a missing file is named, not inserted.
    Select({6, 1});
    wxTEST_DIALOG(frame->InsertImageFiles(Paths({Picture("d.png", 20, 20), wxGetHomeDir() + "/gone.png"})),
                  wxExpectModal<wxMessageDialog>(wxID_OK));
    EXPECT_EQ(FrameNames()[6], "d.png");
    EXPECT_EQ(Strip()->GetCount(), 9);
}

TEST_F(FrameEditingTest, InsertWithoutSelectionInsertsNothingButResetsTheSize) {
    AddNamed(3);
    Strip()->m_selections.clear();
    frame->m_spinctrl_width->SetValue(7);
    wxTEST_DIALOG(Command(&MyFrame::OnInsertImage), ExpectImageDialog("Insert Image Files", Picture("x.png")));
    EXPECT_EQ(Strip()->GetCount(), 3);
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 40);

    // On an empty strip nothing is inserted either, and the commands stay disabled.
    Command(&MyFrame::OnClearAll);
    wxTEST_DIALOG(Command(&MyFrame::OnInsertImage), ExpectImageDialog("Insert Image Files", Picture("x.png")));
    EXPECT_EQ(Strip()->GetCount(), 0);
    ExpectFrameCommandsEnabled(false);
}

TEST_F(FrameEditingTest, DeleteAsksAndRemovesTheSelectedFramesHighestFirst) {
    const Names names = AddNamed(10);
    ClickFrame(1);
    ASSERT_EQ(Status(1), "f1.png Width:40px,Height:30 px");
    Select({5, 2, 7});
    wxTEST_DIALOG(Command(&MyFrame::OnDeleteImages), ExpectDeleteQuestion(wxID_YES));
    EXPECT_EQ(FrameNames(), (Names{"f0.png", "f1.png", "f3.png", "f4.png", "f6.png", "f8.png", "f9.png"}));
    EXPECT_EQ(Status(1), "");
    ExpectFrameCommandsEnabled(true);
    // The preview panel is cleared.
    const wxImage preview = Preview();
    EXPECT_TRUE(SameColour(preview, wxPoint(preview.GetWidth() / 2, preview.GetHeight() / 2), PreviewBackground()));

    // Without a selection the command ends before asking (an unexpected dialog would fail the test).
    Strip()->m_selections.clear();
    wxTEST_DIALOG(Command(&MyFrame::OnDeleteImages), wxExpectModal<wxMessageDialog>(wxID_NO).Optional());
    EXPECT_EQ(Strip()->GetCount(), 7);
}

TEST_F(FrameEditingTest, AnsweringNoKeepsTheFramesButEmptiesTheFrameTextAndResetsTheSize) {
    AddNamed(3);
    ClickFrame(2);
    ASSERT_EQ(Status(1), "f2.png Width:40px,Height:30 px");
    const wxImage before = Preview();
    frame->m_spinctrl_width->SetValue(123);
    frame->m_spinctrl_height->SetValue(45);
    Select({0});
    wxTEST_DIALOG(Command(&MyFrame::OnDeleteImages), ExpectDeleteQuestion(wxID_NO));
    EXPECT_EQ(Strip()->GetCount(), 3);
    EXPECT_EQ(Status(1), "");
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 40);
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 30);
    // The clicked frame stays in the preview.
    const wxImage after = Preview();
    EXPECT_TRUE(SameColour(after, wxPoint(after.GetWidth() / 2, after.GetHeight() / 2), *wxRED));
    EXPECT_TRUE(SameColour(before, wxPoint(before.GetWidth() / 2, before.GetHeight() / 2), *wxRED));
}

TEST_F(FrameEditingTest, DeletingEveryFrameDisablesTheCommandsAndEmptiesTheStatus) {
    AddFiles({Picture("a.png", 64, 48), Picture("b.png", 64, 48)});
    ClickFrame(0);
    Select({0, 1});
    wxTEST_DIALOG(Command(&MyFrame::OnDeleteImages), ExpectDeleteQuestion(wxID_YES));
    EXPECT_EQ(Strip()->GetCount(), 0);
    ExpectFrameCommandsEnabled(false);
    EXPECT_EQ(Status(0), "");
    EXPECT_EQ(Status(1), "");
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 0);
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 0);
    // The stored sizes keep their values.
    EXPECT_EQ(frame->m_outputWidth, 64);
    EXPECT_EQ(frame->m_outputHeight, 48);
    // The last clicked frame is remembered for the status text of a language change.
    EXPECT_EQ(frame->m_currentFileName, "a.png");
}

TEST_F(FrameEditingTest, ClearAllEmptiesEverythingWithoutAsking) {
    AddNamed(4);
    ClickFrame(3);
    Run();
    // No dialog may appear.
    wxTEST_DIALOG(Command(&MyFrame::OnClearAll), wxExpectModal<wxMessageDialog>(wxID_NO).Optional());
    ExpectStopped();
    EXPECT_EQ(Strip()->GetCount(), 0);
    ExpectFrameCommandsEnabled(false);
    EXPECT_EQ(Status(0), "");
    EXPECT_EQ(Status(1), "");
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 0);
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 0);
    EXPECT_EQ(frame->m_outputWidth, 40);
    const wxImage preview = Preview();
    EXPECT_TRUE(SameColour(preview, wxPoint(preview.GetWidth() / 2, preview.GetHeight() / 2), PreviewBackground()));
}

TEST_F(FrameEditingTest, ClickingAFrameShowsItAndItsNameAndSize) {
    AddFiles({Picture("a.png", 320, 200, *wxBLUE), Picture("b.png", 640, 480, *wxGREEN)});
    ClickFrame(1);
    EXPECT_EQ(Status(1), "b.png Width:640px,Height:480 px");
    EXPECT_EQ(frame->m_currentFileName, "b.png");
    EXPECT_EQ(frame->m_currentBitmap.GetSize(), wxSize(640, 480));
    wxImage preview = Preview();
    EXPECT_TRUE(SameColour(preview, wxPoint(preview.GetWidth() / 2, preview.GetHeight() / 2), *wxGREEN));

    // Moving the selection with the keys changes neither the preview nor the text.
    PressKey(WXK_LEFT);
    ASSERT_EQ(Strip()->m_selections.size(), 1u);
    EXPECT_EQ(Strip()->m_selections[0], 0);
    EXPECT_EQ(Status(1), "b.png Width:640px,Height:480 px");
    preview = Preview();
    EXPECT_TRUE(SameColour(preview, wxPoint(preview.GetWidth() / 2, preview.GetHeight() / 2), *wxGREEN));

    // A click on it does. A repaint by the system keeps what was shown.
    ClickFrame(0);
    EXPECT_EQ(Status(1), "a.png Width:320px,Height:200 px");
    frame->m_panel2->Refresh();
    preview = Preview();
    EXPECT_TRUE(SameColour(preview, wxPoint(preview.GetWidth() / 2, preview.GetHeight() / 2), *wxBLUE));
}

TEST_F(FrameEditingTest, RightClickStopsThePlayerAndItsDeleteEntryDeletes) {
    AddNamed(3);
    ClickFrame(1);
    Run();
    struct Entry {
        int id;
        std::string label;
    };
    std::vector<Entry> entries;
    bool playingWhenShown = true;
    frame->Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& event) {
        if (!event.GetMenu() || event.GetMenu()->GetParent())
            return;
        playingWhenShown = MyFrame::s_playing;
        for (wxMenuItem* item : event.GetMenu()->GetMenuItems())
            entries.push_back({item->GetId(), item->GetItemLabel().ToStdString()});
        // Down to the second entry and choose it, as a user would.
        wxUIActionSimulator input;
        input.Char(WXK_DOWN);
        input.Char(WXK_DOWN);
        input.Char(WXK_RETURN);
    });
    wxTEST_DIALOG(
        {
            ClickFrame(1, wxMOUSE_BTN_RIGHT);
            gui_test::PumpUntil([&] { return Strip()->GetCount() == 2; }, 3000);
        },
        ExpectDeleteQuestion(wxID_YES));
    EXPECT_FALSE(playingWhenShown);
    ExpectStopped();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].id, 0);
    EXPECT_EQ(entries[0].label, "&Insert Image\tCtrl+Ins");
    EXPECT_EQ(entries[1].id, wxID_DELETE);
    EXPECT_EQ(entries[1].label, "&Delete\tCtrl+Del");
    EXPECT_EQ(FrameNames(), (Names{"f0.png", "f2.png"}));
}

TEST_F(FrameEditingTest, TypedSizesKeepTheProportionWithoutPingPong) {
    AddFiles({Picture("ref.png", 400, 300)});
    ChangeCounter widthChanges(frame->m_spinctrl_width), heightChanges(frame->m_spinctrl_height);

    // Values set from code raise no change notification.
    frame->RefreshOutputSize();
    Command(&MyFrame::OnClearAll);
    AddFiles({Picture("ref.png", 400, 300)});
    EXPECT_EQ(widthChanges.count, 0);
    EXPECT_EQ(heightChanges.count, 0);

    TypeInto(frame->m_spinctrl_width, "200");
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 200);
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 150);
    EXPECT_GT(widthChanges.count, 0);
    EXPECT_EQ(heightChanges.count, 0);
    EXPECT_EQ(frame->m_outputWidth, 200);
    EXPECT_EQ(frame->m_outputHeight, 150);
    EXPECT_EQ(Status(0), "Untitled.gif (200 * 150)px");

    // 100 high gives 133 wide; had the width answered, the height would have become 99.
    frame->m_gifName = "anim.gif";
    widthChanges.count = 0;
    TypeInto(frame->m_spinctrl_height, "100");
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 100);
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 133);
    EXPECT_EQ(widthChanges.count, 0);
    EXPECT_EQ(Status(0), "anim.gif (133 * 100)px");
    // The reference size stays what the frames gave.
    EXPECT_EQ(frame->m_baseWidth, 400);
    EXPECT_EQ(frame->m_baseHeight, 300);
}

TEST_F(FrameEditingTest, DelayGoesToTheStripAndSizesNeedFramesAndAReference) {
    AddNamed(2);
    TypeInto(frame->m_spinctrl_delay, "37");
    EXPECT_EQ(Strip()->m_delay, 37);

    // Only a frame without picture left: no reference size, so the other control stays as it is.
    Strip()->Insert(std::make_unique<wxImageThumbnailItem>(wxGetHomeDir() + "/gone.png"), 0);
    Select({1, 2});
    wxTEST_DIALOG(Command(&MyFrame::OnDeleteImages), ExpectDeleteQuestion(wxID_YES));
    ASSERT_EQ(FrameNames(), Names{"gone.png"});
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 0);
    frame->m_spinctrl_height->SetValue(9);
    TypeInto(frame->m_spinctrl_width, "50");
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 50);
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 9);
    TypeInto(frame->m_spinctrl_height, "20");
    EXPECT_EQ(frame->m_spinctrl_width->GetValue(), 50);

    // With an empty strip the size handlers do nothing, while the delay still reaches the strip.
    Command(&MyFrame::OnClearAll);
    frame->EnableFrameCommands(true);
    TypeInto(frame->m_spinctrl_width, "80");
    EXPECT_EQ(frame->m_spinctrl_height->GetValue(), 0);
    EXPECT_EQ(Status(0), "");
    TypeInto(frame->m_spinctrl_delay, "12");
    EXPECT_EQ(Strip()->m_delay, 12);
}

TEST_F(FrameEditingTest, ManyFilesShowTheirCountWhileTheyLoadAndAHandfulDoNot) {
    {
        ProgressWatcher watcher;
        AddNamed(5);
        EXPECT_TRUE(watcher.titles.empty());
    }
    Command(&MyFrame::OnClearAll);
    ProgressWatcher watcher;
    const Names names = AddNamed(12);
    EXPECT_EQ(FrameNames(), names);
    EXPECT_EQ(watcher.titles, std::set<std::string>{"Add Image Files"});
    EXPECT_TRUE(watcher.messages.count("12 / 12") || watcher.messages.count("11 / 12")) << watcher.messages.size();
    // The progress dialog is gone afterwards.
    gui_test::Pump(50);
    for (wxWindow* window : wxTopLevelWindows)
        EXPECT_FALSE(dynamic_cast<wxGenericProgressDialog*>(window) && window->IsShown());
}
