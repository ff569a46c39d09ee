// quintrel-gif: the program's GIF export for scripts and batch work.
#include "app/file_name_bytes.h"
#include "cli/cli_run.h"

#include <wx/image.h>
#include <wx/init.h>

#include <unistd.h>

#include <iostream>

int main(int argc, char** argv) {
    // The toolkit is not given the arguments: its conversion of them would lose names that are not UTF-8.
    wxInitializer initializer;
    if (!initializer.IsOk()) {
        std::cerr << "quintrel-gif: cannot initialise the toolkit\n";
        return cli::kFailed;
    }
    wxInitAllImageHandlers();
    file_name_bytes::Install();
    std::vector<wxString> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(file_name_bytes::FromBytes(argv[i]));
    return cli::Main(arguments, {std::cout, std::cerr, isatty(STDERR_FILENO) == 1});
}
