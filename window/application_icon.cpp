#include "window/application_icon.h"

#include <wx/artprov.h>
#include <wx/filefn.h>
#include <wx/log.h>

wxString ApplicationIconName() { return "com.quintrel.Tavelle"; }

wxIconBundle ApplicationIcons(const wxString& themeName, const wxString& iconFile) {
    // Asking the theme for a bundle it lacks raises an assertion, so look for one size first.
    if (wxArtProvider::GetBitmap(themeName, wxART_FRAME_ICON).IsOk()) {
        const wxIconBundle themed = wxArtProvider::GetIconBundle(themeName, wxART_FRAME_ICON);
        if (!themed.IsEmpty())
            return themed;
    }
    if (!wxFileExists(iconFile))
        return wxIconBundle();
    wxLogNull silence;
    return wxIconBundle(iconFile, wxBITMAP_TYPE_ICO);
}
