// Switching the language many times leaves the window as it was after the first: one menu bar, one
// binding per command.
#include "tests/support/gui_test.h"

#include "window/my_frame.h"

#include <wx/menu.h>
#include <wx/weakref.h>
#include <wx/xrc/xmlres.h>

namespace {

constexpr int kGerman = 89, kEnglish = 58, kJapanese = 112;

// The main window, built as the program builds it, that can count its run-time bindings.
class BindingCountingFrame : public MyFrame {
public:
    size_t LiveBindings() const {
        size_t live = 0;
        if (m_dynamicEvents) {
            for (const wxDynamicEventTableEntry* entry : *m_dynamicEvents)
                live += entry != nullptr;
        }
        return live;
    }
};

class LanguageSwitchLeakTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();  // loads the layouts
        counting = new BindingCountingFrame();
        ASSERT_TRUE(wxXmlResource::Get()->LoadFrame(counting, nullptr, "MyFrame1"));
        ASSERT_TRUE(counting->LookUpLayout().empty());
        counting->InitFrame();
        counting->Show();
    }
    void TearDown() override {
        counting->Destroy();
        MainWindowTest::TearDown();
    }
    void Choose(int language) {
        wxCommandEvent choose(wxEVT_MENU, language);
        choose.SetEventObject(counting);
        counting->ProcessWindowEvent(choose);
    }

    BindingCountingFrame* counting = nullptr;
};

TEST_F(LanguageSwitchLeakTest, RepeatedSwitchesKeepOneBarAndOneBindingPerCommand) {
    const size_t bindings = counting->LiveBindings();
    for (int language : {kGerman, kJapanese, kEnglish, kGerman, kEnglish}) {
        wxWeakRef<wxMenuBar> previous(counting->GetMenuBar());
        Choose(language);
        EXPECT_EQ(counting->m_language, language);
        EXPECT_NE(counting->GetMenuBar(), previous.get());
        gui_test::Pump(30);  // the old bar goes once the command that replaced it is over
        EXPECT_EQ(previous.get(), nullptr) << "the replaced menu bar is deleted";
        EXPECT_EQ(counting->LiveBindings(), bindings);
    }
    // The new bar's commands still reach their handlers.
    wxCommandEvent clear(wxEVT_MENU, counting->m_menuItem_clear_all->GetId());
    EXPECT_TRUE(counting->ProcessWindowEvent(clear));
}

}  // namespace
