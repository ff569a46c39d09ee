// The Help menu's web commands: the help and support pages, and the update check with its answer.
#include "window/my_frame.h"

#include "app/domain_option.h"
#include "app/paths.h"
#include "app/update_check.h"
#include "app/web_browser.h"

#include <wx/app.h>
#include <wx/intl.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>

namespace {

// Without an options record (start-up has not got that far) every address is empty.
const DomainOption& Options() {
    static const DomainOption none{wxString()};
    return TheDomainOption() ? *TheDomainOption() : none;
}

}  // namespace

void MyFrame::OnHelpMenu(wxCommandEvent& event) {
    StopAnimation();
    const int id = event.GetId();
    if (id == m_menuItem_help->GetId())
        web_browser::Open(Options().HelpPage());
    else if (id == m_menuItem_support->GetId())
        web_browser::Open(Options().SupportPage());
    else if (id == m_menuItem_check_update->GetId())
        CheckForUpdate();
}

void MyFrame::CheckForUpdate() {
    // A check already under way answers for both requests; a second one is not started.
    TheUpdateFetch().Start(Options().UpdateDocument(), this);
}

void MyFrame::OnUpdateResult(wxCommandEvent& event) {
    // The window was closed while the document was on its way: nobody is left to tell.
    if (wxTheApp->IsScheduledForDestruction(this))
        return;
    const wxString newest = event.GetString();
    const wxString caption = paths::DisplayName();
    if (newest.empty()) {
        wxMessageBox(wxGetTranslation("Update failed!Please check if the network is available."), caption,
                     wxOK | wxCENTRE);
        return;
    }
    if (CompareVersions(paths::Version(), newest) < 0) {
        wxMessageDialog question(
            this,
            wxString::Format(wxGetTranslation("A new version of %s(%s) is available. Click Yes to open download page."),
                             caption, newest),
            caption, wxYES_NO | wxCENTRE);
        question.SetTitle(caption);
        if (question.ShowModal() == wxID_YES)
            web_browser::Open(Options().ProductPage());
        return;
    }
    wxMessageBox(
        wxString::Format(wxGetTranslation("This version of %s(%s) is the latest version."), caption, paths::Version()),
        caption, wxOK | wxCENTRE);
}
