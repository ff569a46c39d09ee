// The program's entry point: refuses to start without a display instead of failing inside GTK.
#include "app/my_app.h"

#include <cstdio>
#include <cstdlib>

wxIMPLEMENT_APP_NO_MAIN(MyApp);

int main(int argc, char** argv) {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x11 || !*x11) && (!wayland || !*wayland)) {
        std::fputs("quintrel-tavelle: no graphical display (DISPLAY is not set); start it from a desktop session.\n",
                   stderr);
        return 1;
    }
    wxDisableAsserts();  // the release behaviour: toolkit assertions are silent
    return wxEntry(argc, argv);
}
