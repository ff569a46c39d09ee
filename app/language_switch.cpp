// Switching the interface language at run time: a new locale with the chosen catalog, then the menus
// and the window's own labels are built again from it.
#include "app/interface_languages.h"
#include "app/paths.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/stattext.h>

void MyFrame::ApplyLanguage(int language) {
    delete m_locale;
    m_locale = nullptr;
    m_locale = new wxLocale();
    // A system without that locale makes the toolkit warn; the catalog loads and translates all the same,
    // so the warning would only alarm the user.
    wxLogNull silence;
    m_locale->Init(interface_languages::ToolkitLanguage(language), wxLOCALE_LOAD_DEFAULT);
    m_locale->AddCatalog("language");
}

void MyFrame::OnLanguage(wxCommandEvent& event) {
    m_language = event.GetId();
    paths::WriteLanguage(m_language);
    ApplyLanguage(m_language);
    BuildMenuBar();
    // The new menu bar starts with every item enabled and labelled for a stopped preview; make it tell the
    // truth about the strip and the player, as the tools and controls already do.
    EnableFrameCommands(m_thumbnailCtrl->GetCount() > 0);
    ShowPlayerState(s_playing);
    RefreshLabels();
    // The controls were measured for the texts of the old language; longer ones would be cut off.
    m_staticText1->GetParent()->Layout();
}
