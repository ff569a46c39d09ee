// The About box: product name and version, the rights line and a link to the product page.
#include "window/my_frame.h"

#include "app/domain_option.h"
#include "app/paths.h"

#include <wx/datetime.h>
#include <wx/dialog.h>
#include <wx/hyperlink.h>
#include <wx/log.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

void MyFrame::OnAbout(wxCommandEvent&) {
    wxLogNull silence;
    wxDialog dialog;
    if (!wxXmlResource::Get()->LoadDialog(&dialog, this, "AboutDialog"))
        return;  // no layout, no dialog to show

    if (auto* versionName = XRCCTRL(dialog, "m_static_version_name", wxStaticText))
        versionName->SetLabel(wxString::Format("%s %s", paths::DisplayName(), paths::Version()));
    if (auto* information = XRCCTRL(dialog, "m_static_information", wxStaticText))
        information->SetLabel(
            wxString::Format("Copyright (C) %d %s", wxDateTime::GetCurrentYear(), paths::CompanyName()));
    if (auto* link = XRCCTRL(dialog, "m_hyperlink", wxHyperlinkCtrl)) {
        const wxString productPage = TheDomainOption() ? TheDomainOption()->ProductPage() : wxString();
        link->SetLabel(productPage);
        link->SetURL(productPage);
    }
    // The texts are longer than the layout's empty labels.
    dialog.Fit();
    dialog.CentreOnParent();
    dialog.ShowModal();
}
