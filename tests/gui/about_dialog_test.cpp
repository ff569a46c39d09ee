// The About box as the Help menu shows it.
#include "tests/support/gui_test.h"

#include "app/domain_option.h"
#include "window/my_frame.h"

#include <wx/datetime.h>
#include <wx/dialog.h>
#include <wx/hyperlink.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

namespace {

struct AboutTexts {
    bool shown = false;
    wxWindow* parent = nullptr;
    wxString versionName;
    wxString information;
    wxString linkLabel;
    wxString linkUrl;
};

// Reads the three filled controls while the dialog is up, then closes it with OK.
class InspectAbout : public wxExpectModalBase<wxDialog, InspectAbout> {
public:
    explicit InspectAbout(AboutTexts& texts) : m_texts(&texts) {}

protected:
    int OnInvoked(wxDialog* dialog) const override {
        m_texts->shown = true;
        m_texts->parent = dialog->GetParent();
        if (auto* text = XRCCTRL(*dialog, "m_static_version_name", wxStaticText))
            m_texts->versionName = text->GetLabel();
        if (auto* text = XRCCTRL(*dialog, "m_static_information", wxStaticText))
            m_texts->information = text->GetLabel();
        if (auto* link = XRCCTRL(*dialog, "m_hyperlink", wxHyperlinkCtrl)) {
            m_texts->linkLabel = link->GetLabel();
            m_texts->linkUrl = link->GetURL();
        }
        return wxID_OK;
    }

private:
    AboutTexts* m_texts;
};

AboutTexts ShowAbout(MyFrame* frame) {
    AboutTexts texts;
    wxCommandEvent about(wxEVT_MENU, frame->m_menuItem_about->GetId());
    wxTEST_DIALOG(frame->GetEventHandler()->ProcessEvent(about), InspectAbout(texts));
    return texts;
}

}  // namespace

TEST_F(MainWindowTest, AboutShowsNameVersionRightsAndTheProductPage) {
    const AboutTexts texts = ShowAbout(frame);
    ASSERT_TRUE(texts.shown);
    EXPECT_EQ(texts.parent, frame);
    EXPECT_EQ(texts.versionName, "Quintrel Tavelle 1.2.6");
    EXPECT_EQ(texts.information, wxString::Format("Copyright (C) %d Quintrel", wxDateTime::GetCurrentYear()));
    // The build tree's options file names the product page.
    ASSERT_FALSE(TheDomainOption()->ProductPage().empty());
    EXPECT_EQ(texts.linkLabel, TheDomainOption()->ProductPage());
    EXPECT_EQ(texts.linkUrl, TheDomainOption()->ProductPage());
}

TEST_F(MainWindowTest, AboutWithoutAProductPageLeavesTheLinkEmpty) {
    delete TheDomainOption();
    SetTheDomainOption(new DomainOption("/nonexistent/option.cfg"));
    TheDomainOption()->Read();

    const AboutTexts texts = ShowAbout(frame);
    ASSERT_TRUE(texts.shown);
    EXPECT_EQ(texts.versionName, "Quintrel Tavelle 1.2.6");
    EXPECT_EQ(texts.linkLabel, "");
    EXPECT_EQ(texts.linkUrl, "");
}
