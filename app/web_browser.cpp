#include "app/web_browser.h"

#include <wx/utils.h>

#include <utility>

namespace web_browser {
namespace {

Launcher& CurrentLauncher() {
    static Launcher launcher = [](const wxString& address) { wxLaunchDefaultBrowser(address); };
    return launcher;
}

}  // namespace

void Open(const wxString& address) {
    if (!address.empty())
        CurrentLauncher()(address);
}

Launcher ReplaceLauncher(Launcher launcher) { return std::exchange(CurrentLauncher(), std::move(launcher)); }

}  // namespace web_browser
