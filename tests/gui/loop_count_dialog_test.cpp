// The loop count dialog in a real modal loop, and the Loop Count command of the main window.
#include "tests/support/gui_test.h"
#include "tests/support/isolated_home.h"
#include "window/loop_count_dialog.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/radiobut.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include <memory>

namespace {

wxRadioButton* PlayTimes(LoopCountDialog& dialog) { return dynamic_cast<wxRadioButton*>(dialog.FindWindow(0)); }
wxRadioButton* PlayForever(LoopCountDialog& dialog) { return dynamic_cast<wxRadioButton*>(dialog.FindWindow(1)); }
wxSpinCtrl* PassCount(LoopCountDialog& dialog) { return dynamic_cast<wxSpinCtrl*>(dialog.FindWindow(2)); }

// What a click on a radio button does, through the dialog's own event table.
void Choose(wxRadioButton* radio) {
    radio->SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, radio->GetId());
    event.SetEventObject(radio);
    event.SetInt(1);
    radio->GetEventHandler()->ProcessEvent(event);
}

void Press(LoopCountDialog& dialog, int buttonId) {
    wxWindow* button = dialog.FindWindow(buttonId);
    wxCommandEvent event(wxEVT_BUTTON, buttonId);
    event.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(event);
}

struct OpenDialogState {
    bool showing = true;
    bool acted = false;
    std::function<void(LoopCountDialog&)> act;
};

LoopCountDialog* FindModalLoopCountDialog() {
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<LoopCountDialog*>(window);
        if (dialog && dialog->IsModal())
            return dialog;
    }
    return nullptr;
}

void Poll(std::shared_ptr<OpenDialogState> state) {
    if (!state->showing || state->acted)
        return;
    LoopCountDialog* dialog = FindModalLoopCountDialog();
    if (!dialog) {
        wxTheApp->CallAfter([state] { Poll(state); });
        return;
    }
    state->acted = true;
    state->act(*dialog);
    // A step that left the dialog open would block the test for ever.
    wxTheApp->CallAfter([] {
        if (LoopCountDialog* open = FindModalLoopCountDialog()) {
            ADD_FAILURE() << "the dialog was left open";
            open->EndModal(wxID_ABORT);
        }
    });
}

// Runs `show`, which opens a LoopCountDialog modally; inside its modal loop `act` works on the dialog
// and closes it. Returns whether the dialog was seen.
bool WhileOpen(const std::function<void()>& show, const std::function<void(LoopCountDialog&)>& act) {
    auto state = std::make_shared<OpenDialogState>();
    state->act = act;
    wxTheApp->CallAfter([state] { Poll(state); });
    show();
    state->showing = false;
    return state->acted;
}

// Counts the modal dialogs shown while it lives, answering each with Cancel.
class DialogCounter : public wxModalDialogHook {
public:
    DialogCounter() { Register(); }
    ~DialogCounter() override { Unregister(); }
    int shown = 0;

protected:
    int Enter(wxDialog*) override {
        ++shown;
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
};

// Real pointer input on a control of a shown dialog.
void ClickOn(wxWindow* window, bool atLeftEdge = false) {
    const wxRect rect = window->GetScreenRect();
    wxUIActionSimulator input;
    input.MouseMove(wxPoint(atLeftEdge ? rect.x + 8 : rect.x + rect.width / 2, rect.y + rect.height / 2));
    gui_test::Pump(50);
    input.MouseClick();
    gui_test::Pump(200);
}

class LoopCountTest : public MainWindowTest {
protected:
    // Adds `count` small pictures and starts the player.
    void AddFrames(int count) {
        wxArrayString paths;
        for (int i = 0; i < count; ++i) {
            paths.push_back(gui_test::WritePicture(
                wxString::FromUTF8(IsolatedHomeListener::CurrentHome()) + wxString::Format("/f%d.png", i), 20, 10));
        }
        frame->AddImageFiles(paths);
        ASSERT_EQ(frame->m_thumbnailCtrl->GetCount(), count);
    }
    void Run() {
        wxCommandEvent event;
        frame->OnRunAnimation(event);
    }
    void LoopCount() {
        wxCommandEvent event;
        frame->OnLoopCount(event);
    }
};

}  // namespace

TEST_F(LoopCountTest, ControlsIdentifiersAndFirstState) {
    LoopCountDialog dialog(frame);
    EXPECT_EQ(dialog.GetTitle(), "Loop Counter");
    EXPECT_EQ(dialog.GetSize(), wxSize(300, 150));
    EXPECT_EQ(dialog.GetResult(), 0);

    auto* box = dynamic_cast<wxStaticBox*>(dialog.FindWindow(5105));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetLabel(), "Animation Loop Count");
    EXPECT_EQ(box->GetPosition(), wxPoint(10, 10));
    EXPECT_EQ(box->GetSize(), wxSize(275, 70));

    wxRadioButton* times = PlayTimes(dialog);
    wxRadioButton* forever = PlayForever(dialog);
    wxSpinCtrl* count = PassCount(dialog);
    ASSERT_TRUE(times && forever && count);
    EXPECT_EQ(times->GetLabel(), "Play animation");
    EXPECT_EQ(times->GetPosition(), wxPoint(20, 30));
    EXPECT_EQ(forever->GetLabel(), "Play animation infinitely");
    EXPECT_EQ(forever->GetPosition(), wxPoint(20, 55));
    EXPECT_EQ(count->GetPosition(), wxPoint(150, 30));
    EXPECT_EQ(count->GetName(), "wxSpinCtrl");
    EXPECT_EQ(count->GetMin(), 0);
    EXPECT_EQ(count->GetMax(), 100);
    EXPECT_TRUE(count->HasFlag(wxSP_ARROW_KEYS));

    // The first opening in a run: for ever, with the pass count disabled at 1.
    EXPECT_TRUE(forever->GetValue());
    EXPECT_FALSE(times->GetValue());
    EXPECT_FALSE(count->IsEnabled());
    EXPECT_EQ(count->GetValue(), 1);

    bool unitFound = false;
    for (wxWindow* child : dialog.GetChildren()) {
        auto* text = dynamic_cast<wxStaticText*>(child);
        if (text && text->GetLabel() == "time(s)") {
            unitFound = true;
            EXPECT_EQ(text->GetPosition(), wxPoint(200, 30));
        }
    }
    EXPECT_TRUE(unitFound);

    auto* ok = dynamic_cast<wxButton*>(dialog.FindWindow(wxID_OK));
    auto* cancel = dynamic_cast<wxButton*>(dialog.FindWindow(wxID_CANCEL));
    ASSERT_TRUE(ok && cancel);
    EXPECT_EQ(wxID_OK, 5100);
    EXPECT_EQ(wxID_CANCEL, 5101);
    EXPECT_EQ(ok->GetLabel(), "OK");
    EXPECT_EQ(ok->GetPosition(), wxPoint(60, 85));
    EXPECT_EQ(cancel->GetLabel(), "Cancel");
    EXPECT_EQ(cancel->GetPosition(), wxPoint(170, 85));

    // Registered under its own name with the dialog as base, but not creatable by name.
    const wxClassInfo* info = dialog.GetClassInfo();
    EXPECT_STREQ(info->GetClassName(), L"LoopCountDialog");
    EXPECT_STREQ(info->GetBaseClassName1(), L"wxDialog");
    EXPECT_FALSE(info->IsDynamic());
    EXPECT_EQ(wxClassInfo::FindClass("LoopCountDialog"), info);
    EXPECT_TRUE(dialog.IsKindOf(wxCLASSINFO(wxDialog)));
    EXPECT_TRUE(dialog.TransferDataToWindow());
    EXPECT_TRUE(dialog.TransferDataFromWindow());
}

TEST_F(LoopCountTest, ConfirmedValueInitialisesEveryLaterDialogAndCancelKeepsIt) {
    // "Play animation" with 3, then OK.
    {
        LoopCountDialog dialog(frame);
        int answer = 0;
        EXPECT_TRUE(WhileOpen([&] { answer = dialog.ShowModal(); },
                              [](LoopCountDialog& open) {
                                  Choose(PlayTimes(open));
                                  EXPECT_TRUE(PassCount(open)->IsEnabled());
                                  PassCount(open)->SetValue(3);
                                  Press(open, wxID_OK);
                              }));
        EXPECT_EQ(answer, wxID_OK);
        EXPECT_EQ(dialog.GetResult(), 3);
        EXPECT_EQ(LoopCountDialog::LastConfirmedValue(), 3);
    }
    // The next one starts at 3; choosing for ever and cancelling changes nothing.
    {
        LoopCountDialog dialog(frame);
        EXPECT_TRUE(PlayTimes(dialog)->GetValue());
        EXPECT_FALSE(PlayForever(dialog)->GetValue());
        EXPECT_TRUE(PassCount(dialog)->IsEnabled());
        EXPECT_EQ(PassCount(dialog)->GetValue(), 3);
        int answer = 0;
        EXPECT_TRUE(WhileOpen([&] { answer = dialog.ShowModal(); },
                              [](LoopCountDialog& open) {
                                  Choose(PlayForever(open));
                                  EXPECT_FALSE(PassCount(open)->IsEnabled());
                                  Press(open, wxID_CANCEL);
                              }));
        EXPECT_EQ(answer, wxID_CANCEL);
        EXPECT_EQ(dialog.GetResult(), 0);
        EXPECT_EQ(LoopCountDialog::LastConfirmedValue(), 3);
    }
    // "Play animation" with 0 means for ever.
    {
        LoopCountDialog dialog(frame);
        EXPECT_EQ(PassCount(dialog)->GetValue(), 3);
        int answer = 0;
        WhileOpen([&] { answer = dialog.ShowModal(); },
                  [](LoopCountDialog& open) {
                      PassCount(open)->SetValue(0);
                      Press(open, wxID_OK);
                  });
        EXPECT_EQ(answer, wxID_OK);
        EXPECT_EQ(dialog.GetResult(), 0);
    }
    {
        LoopCountDialog dialog(frame);
        EXPECT_TRUE(PlayForever(dialog)->GetValue());
        EXPECT_FALSE(PassCount(dialog)->IsEnabled());
        EXPECT_EQ(PassCount(dialog)->GetValue(), 1);
    }
}

TEST_F(LoopCountTest, MouseOnTheShownDialog) {
    LoopCountDialog dialog(frame);
    int answer = 0;
    WhileOpen([&] { answer = dialog.ShowModal(); },
              [](LoopCountDialog& open) {
                  gui_test::PumpUntil([&] { return open.IsShownOnScreen(); });
                  gui_test::Pump(200);
                  ClickOn(PlayTimes(open), true);
                  EXPECT_TRUE(PlayTimes(open)->GetValue());
                  EXPECT_FALSE(PlayForever(open)->GetValue());
                  EXPECT_TRUE(PassCount(open)->IsEnabled());
                  ClickOn(PlayForever(open), true);
                  EXPECT_TRUE(PlayForever(open)->GetValue());
                  EXPECT_FALSE(PassCount(open)->IsEnabled());
                  ClickOn(PlayTimes(open), true);
                  ClickOn(open.FindWindow(wxID_OK));
              });
    EXPECT_EQ(answer, wxID_OK);
    // The pass count still shows its initial 1.
    EXPECT_EQ(dialog.GetResult(), 1);
    EXPECT_EQ(LoopCountDialog::LastConfirmedValue(), 1);
}

TEST_F(LoopCountTest, CommandSetsTheCountOnlyOnOkAndStopsThePlayerEitherWay) {
    // With an empty strip there is no dialog at all.
    {
        DialogCounter counter;
        LoopCount();
        EXPECT_EQ(counter.shown, 0);
        EXPECT_EQ(frame->m_loopCount, 0);
    }

    AddFrames(2);
    Run();
    ASSERT_TRUE(MyFrame::s_playing);
    frame->m_loopsDone = 2;
    EXPECT_TRUE(WhileOpen([&] { LoopCount(); },
                          [this](LoopCountDialog& open) {
                              EXPECT_EQ(open.GetParent(), frame);
                              Choose(PlayTimes(open));
                              PassCount(open)->SetValue(4);
                              Press(open, wxID_OK);
                          }));
    EXPECT_EQ(frame->m_loopCount, 4);
    EXPECT_EQ(frame->m_loopsDone, 0);
    EXPECT_FALSE(MyFrame::s_playing);
    EXPECT_FALSE(frame->m_timer.IsRunning());

    Run();
    frame->m_loopsDone = 1;
    EXPECT_TRUE(WhileOpen([&] { LoopCount(); }, [](LoopCountDialog& open) {
        EXPECT_EQ(PassCount(open)->GetValue(), 4);
        Choose(PlayForever(open));
        Press(open, wxID_CANCEL);
    }));
    EXPECT_EQ(frame->m_loopCount, 4);
    EXPECT_EQ(frame->m_loopsDone, 1);
    EXPECT_FALSE(MyFrame::s_playing);
    EXPECT_FALSE(frame->m_timer.IsRunning());
    EXPECT_EQ(frame->m_menuItem_run->GetItemLabel(), "Run animation\tCtrl+P");
}
