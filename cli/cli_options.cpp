#include "cli/cli_options.h"

#include "window/my_gifhandler/frame_optimiser.h"

namespace cli {

namespace {

// The GIF format stores sizes and the delay in 16 bits.
constexpr long kLargestValue = 65535;

bool ParseNumber(const wxString& text, long smallest, long& value) {
    if (text.empty() || !(text[0] == '-' || text[0] == '+' || (text[0] >= '0' && text[0] <= '9')))
        return false;
    return text.ToLong(&value) && value >= smallest && value <= kLargestValue;
}

bool ParseInRange(const wxString& text, long smallest, long largest, long& value) {
    return !text.empty() && text[0] >= '0' && text[0] <= '9' && text.ToLong(&value) && value >= smallest &&
           value <= largest;
}

// The options of the smaller levels, given as "-O LEVEL", "--optimise=LEVEL" and "--lossy=N".
// False with the error set when the value is bad.
bool ParseOptimisation(const wxString& option, const wxString& value, Options& options, wxString& error) {
    long number = 0;
    if (option == "--lossy") {
        if (!ParseInRange(value, 1, gif_optimise::kMaxLossy, number)) {
            error = wxString::Format("--lossy takes a whole number from 1 to %d, not \"%s\".", gif_optimise::kMaxLossy,
                                     value);
            return false;
        }
        options.lossy = static_cast<int>(number);
        return true;
    }
    if (!ParseInRange(value, gif_optimise::kExact, gif_optimise::kSmallest, number)) {
        error = wxString::Format("%s takes 0 (exact), 1 (smaller) or 2 (smallest), not \"%s\".", option, value);
        return false;
    }
    options.level = static_cast<int>(number);
    return true;
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<wxString>& arguments) {
    ParsedArguments parsed;
    Options& options = parsed.options;
    bool onlyFiles = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const wxString& argument = arguments[i];
        if (onlyFiles || argument == "-" || !argument.StartsWith("-")) {
            options.images.push_back(argument);
            continue;
        }
        if (argument == "--") {
            onlyFiles = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--estimate") {
            options.estimate = true;
        } else if (argument == "--no-sort") {
            options.keepGivenOrder = true;
        } else if (argument.StartsWith("--optimise=") || argument.StartsWith("--lossy=")) {
            if (!ParseOptimisation(argument.BeforeFirst('='), argument.AfterFirst('='), options, parsed.error))
                return parsed;
        } else if (argument == "-O") {
            if (i + 1 == arguments.size()) {
                parsed.error = "-O needs a value.";
                return parsed;
            }
            if (!ParseOptimisation(argument, arguments[++i], options, parsed.error))
                return parsed;
        } else if (argument == "-d" || argument == "-W" || argument == "-H" || argument == "-o" ||
                   argument == "-p" || argument == "--save-project") {
            if (i + 1 == arguments.size()) {
                parsed.error = wxString::Format("%s needs a value.", argument);
                return parsed;
            }
            const wxString& value = arguments[++i];
            if (argument == "-o" || argument == "-p" || argument == "--save-project") {
                if (value.empty()) {
                    parsed.error = wxString::Format("%s needs a file name.", argument);
                    return parsed;
                }
                (argument == "-o" ? options.output : argument == "-p" ? options.project : options.saveProject) = value;
                continue;
            }
            const bool isDelay = argument == "-d";
            long number = 0;
            if (!ParseNumber(value, isDelay ? 0 : 1, number)) {
                parsed.error = wxString::Format("%s takes a whole number from %d to %ld, not \"%s\".", argument,
                                                isDelay ? 0 : 1, kLargestValue, value);
                return parsed;
            }
            (isDelay ? options.delay : argument == "-W" ? options.width : options.height) = static_cast<int>(number);
        } else {
            parsed.error = wxString::Format("Unknown option \"%s\".", argument);
            return parsed;
        }
    }
    if (options.help || options.version) {
        parsed.ok = true;
        return parsed;
    }
    if (!options.project.empty() && !options.images.empty()) {
        parsed.error = "Give either a project (-p) or images, not both.";
    } else if (options.project.empty() && options.images.empty()) {
        parsed.error = "No images given.";
    } else if (options.lossy && options.level != gif_optimise::kSmallest) {
        parsed.error = "--lossy is the strength of -O 2 and needs it.";
    } else if (options.estimate && !options.saveProject.empty()) {
        parsed.error = "--estimate writes nothing; leave out --save-project.";
    } else if (options.project.empty() && options.output.empty() && options.saveProject.empty() && !options.estimate) {
        parsed.error = "No output file given (-o OUT.gif).";
    } else {
        parsed.ok = true;
    }
    return parsed;
}

wxString UsageText() {
    return wxString::Format("Usage: quintrel-gif [-d DELAY] [-W WIDTH] [-H HEIGHT] [-O LEVEL] -o OUT.gif IMAGE...\n"
           "       quintrel-gif -p PROJECT.xml [-d DELAY] [-W WIDTH] [-H HEIGHT] [-O LEVEL] [-o OUT.gif]\n"
           "Turns still images (PNG, JPEG, BMP, GIF) into one animated GIF that loops for ever.\n"
           "\n"
           "  -d DELAY              delay of every frame in hundredths of a second (default 10)\n"
           "  -W WIDTH              output width in pixels\n"
           "  -H HEIGHT             output height in pixels\n"
           "                        Without either, the size is that of the first picture larger\n"
           "                        than all before it in width or height; with one of them, the\n"
           "                        other follows in proportion.\n"
           "  -o OUT.gif            the GIF to write; \".gif\" is appended when missing\n"
           "  -p PROJECT.xml        take images, delay, size and level from a project file; the\n"
           "                        GIF is then written beside it under the project's name unless\n"
           "                        -o is given; a project with values out of range or a GIF name\n"
           "                        with folder parts is refused\n"
           "  -O LEVEL, --optimise=LEVEL\n"
           "                        0 exact: every frame whole (default, or the project's level);\n"
           "                        1 smaller: later frames store only what changed;\n"
           "                        2 smallest: 1 with lossy compression\n"
           "  --lossy=N             strength of level 2, 1 to %d (default %d): how far a pixel may\n"
           "                        stray from its colour to compress better\n"
           "  --estimate            print the estimated size of the GIF in bytes; write nothing\n"
           "  --no-sort             keep the images in the order given; by default they go in\n"
           "                        natural order, as the program adds them: frame2 before frame10\n"
           "  --save-project FILE   also write a project file of this export (alone, without -o)\n"
           "  --help                show this text\n"
           "  --version             show the version\n"
           "\n"
           "Images that cannot be read are named and skipped.\n"
           "Exit status: 0 done; 1 failed: nothing was replaced (the GIF and the project file are\n"
           "both written in full before either replaces an existing file); 2 bad arguments.\n",
                             gif_optimise::kMaxLossy, gif_optimise::kDefaultLossy);
}

}  // namespace cli
