// Switching the language many times leaves the window as it was after the first: one menu bar, one
// binding per command.
#include "tests/support/gui_test.h"

#include "window/my_frame.h"

#include <wx/menu.h>
#include <wx/weakref.h>
#include <wx/xrc/xmlres.h>

namespace {

// The main window, built as the program builds it, that can count its run-time bindings.
class BindingCountingFrame : public MyFrame {
public:
    size_t LiveBindings() const {
        return m_dynamicEvents ? m_dynamicEvents->size() - std::count(m_dynamicEvents->begin(), m_dynamicEvents->end(), nullptr) : 0;
    }
};

TEST_F(MainWindowTest, RepeatedLanguageSwitchesKeepOneMenuBarAndOneBindingPerCommand) {
    auto* counting = new BindingCountingFrame();  // the layouts are loaded by the fixture
    ASSERT_TRUE(wxXmlResource::Get()->LoadFrame(counting, nullptr, "MyFrame1"));
    ASSERT_TRUE(counting->LookUpLayout().empty());
    counting->InitFrame();
    counting->Show();
    const size_t bindings = counting->LiveBindings();
    for (int language : {89, 112, 58, 89, 58}) {  // German, Japanese, English
        wxWeakRef<wxMenuBar> previous(counting->GetMenuBar());
        wxCommandEvent choose(wxEVT_MENU, language);
        choose.SetEventObject(counting);
        counting->ProcessWindowEvent(choose);
        EXPECT_EQ(counting->m_language, language);
        gui_test::Pump(30);  // the old bar goes once the command that replaced it is over
        EXPECT_EQ(previous.get(), nullptr) << "the replaced menu bar is deleted";
        EXPECT_EQ(counting->LiveBindings(), bindings);
    }
    // The new bar's commands still reach their handlers.
    wxCommandEvent clear(wxEVT_MENU, counting->m_menuItem_clear_all->GetId());
    EXPECT_TRUE(counting->ProcessWindowEvent(clear));
    counting->Destroy();
}

}  // namespace
