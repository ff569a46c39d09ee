// The program's entry point: refuses to start without a display instead of failing inside GTK.
#include "app/file_name_bytes.h"
#include "app/my_app.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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
    // File names on the command line are bytes; the toolkit's own conversion of argv would lose those
    // that are not valid in the locale, so it is handed text that leads back to the same bytes.
    file_name_bytes::Install();
    std::vector<std::wstring> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(file_name_bytes::FromBytes(argv[i]).ToStdWstring());
    std::vector<wxChar*> pointers;
    for (std::wstring& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return wxEntry(argc, pointers.data());
}
