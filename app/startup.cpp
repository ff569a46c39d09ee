#include "app/startup.h"

#include "window/my_frame.h"

#include <wx/image.h>
#include <wx/xrc/xmlres.h>

namespace startup {

void LoadResources(const wxString& installationFolder) {
    wxInitAllImageHandlers();
    wxXmlResource::Get()->InitAllHandlers();
    wxXmlResource::Get()->LoadAllFiles(installationFolder + "/Themes");
}

MyFrame* CreateMainWindow(wxString& error) {
    auto* frame = new MyFrame();
    if (!wxXmlResource::Get()->LoadFrame(frame, nullptr, "MyFrame1")) {
        error = "the window layout \"MyFrame1\" could not be loaded";
        delete frame;  // never created as a window, so the toolkit does not own it yet
        return nullptr;
    }
    const wxString missing = frame->LookUpLayout();
    if (!missing.empty()) {
        error = wxString::Format("the window layout \"MyFrame1\" has no object named \"%s\"", missing);
        frame->Destroy();
        return nullptr;
    }
    frame->InitFrame();
    return frame;
}

}  // namespace startup
