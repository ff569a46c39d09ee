#pragma once
// The command line of quintrel-gif:
//   quintrel-gif [-d DELAY] [-W WIDTH] [-H HEIGHT] -o OUT.gif IMAGE...
//   quintrel-gif -p PROJECT.xml [-d DELAY] [-W WIDTH] [-H HEIGHT] [-o OUT.gif]
// with -O LEVEL (--optimise=LEVEL), --lossy=N, --estimate, --no-sort, --save-project FILE, --help and --version.

#include <wx/string.h>

#include <optional>
#include <vector>

namespace cli {

struct Options {
    bool help = false;
    bool version = false;
    std::optional<int> delay;   // hundredths of a second
    std::optional<int> width;   // pixels
    std::optional<int> height;
    std::optional<int> level;   // 0 exact, 1 smaller, 2 smallest; else the project's, else 0
    std::optional<int> lossy;   // strength of level 2
    bool estimate = false;      // print the estimated size instead of writing
    bool keepGivenOrder = false;  // images as given, not in natural order
    wxString output;            // empty: none given
    wxString project;           // empty: the images come from the command line
    wxString saveProject;       // empty: no project is written
    std::vector<wxString> images;
};

struct ParsedArguments {
    bool ok = false;
    wxString error;  // what is wrong, for the user
    Options options;
};

// Parses the arguments after the program name. "--" ends the options.
ParsedArguments ParseArguments(const std::vector<wxString>& arguments);

wxString UsageText();

}  // namespace cli
