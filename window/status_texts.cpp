#include "window/status_texts.h"

#include <wx/intl.h>

namespace status_texts {

wxString ClickedFrame(const wxString& fileName, int width, int height) {
    return wxString::Format("%s ", fileName) + wxGetTranslation("Width") + ":" + wxString::Format("%d", width) +
           wxGetTranslation("px") + "," + wxGetTranslation("Height") + wxString::Format(":%d ", height) +
           wxGetTranslation("px");
}

wxString OutputSize(const wxString& gifName, int width, int height) {
    const wxString size = gifName.empty() ? wxString::Format("Untitled.gif (%d * %d)", width, height)
                                          : wxString::Format("%s (%d * %d)", gifName, width, height);
    return size + wxGetTranslation("px");
}

}  // namespace status_texts
