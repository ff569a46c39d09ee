// quintrel-gif: the program's GIF export for scripts and batch work.
#include "cli/cli_run.h"

#include <wx/image.h>
#include <wx/init.h>

#include <unistd.h>

#include <iostream>

int main(int argc, char** argv) {
    wxInitializer initializer(argc, argv);
    if (!initializer.IsOk()) {
        std::cerr << "quintrel-gif: cannot initialise the toolkit\n";
        return cli::kFailed;
    }
    wxInitAllImageHandlers();
    // File names are bytes; read them the way the toolkit turns names back into bytes.
    std::vector<wxString> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i], *wxConvFileName);
    return cli::Main(arguments, {std::cout, std::cerr, isatty(STDERR_FILENO) == 1});
}
