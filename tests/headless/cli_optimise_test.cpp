// quintrel-gif's choice of level, lossy strength and size estimate.

#include "cli/cli_run.h"

#include "tests/support/isolated_home.h"

#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/image.h>

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Bytes = std::vector<unsigned char>;

wxString InHome(const wxString& name) { return wxString(IsolatedHomeListener::CurrentHome()) + "/" + name; }

// Three pictures of a ramp moving right, with many colours.
std::vector<wxString> Pictures() {
    std::vector<wxString> paths;
    for (int i = 0; i < 3; ++i) {
        wxImage image(48, 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 48; ++x)
                image.SetRGB(x, y, (x + i * 4) * 5 % 256, y * 8, (x * y + i) % 256);
        paths.push_back(InHome(wxString::Format("ramp%d.png", i)));
        EXPECT_TRUE(image.SaveFile(paths.back(), wxBITMAP_TYPE_PNG));
    }
    return paths;
}

Bytes ReadFile(const wxString& path) {
    wxFFile file(path, "rb");
    Bytes bytes(file.IsOpened() ? file.Length() : 0);
    if (!bytes.empty())
        file.Read(bytes.data(), bytes.size());
    return bytes;
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// The pictures come first, so an option at the end has no value after it.
Outcome RunCli(const std::vector<wxString>& options, const std::vector<wxString>& pictures) {
    std::vector<wxString> arguments = pictures;
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::ostringstream out, err;
    const int status = cli::Main(arguments, {out, err, false});
    return {status, out.str(), err.str()};
}

struct BadArguments {
    std::vector<const char*> arguments;
    const char* complaint;
};

TEST(CliOptimise, BadValuesExitWithStatusTwoAndSayWhy) {
    const std::vector<wxString> pictures = Pictures();
    const BadArguments table[] = {
        {{"-O", "3", "-o", "a.gif"}, "-O takes 0 (exact), 1 (smaller) or 2 (smallest), not \"3\""},
        {{"-O", "-1", "-o", "a.gif"}, "not \"-1\""},
        {{"--optimise=", "-o", "a.gif"}, "--optimise takes 0"},
        {{"--optimise=1x", "-o", "a.gif"}, "not \"1x\""},
        {{"-o", "a.gif", "-O"}, "-O needs a value"},
        {{"-O", "2", "--lossy=0", "-o", "a.gif"}, "--lossy takes a whole number from 1 to 100, not \"0\""},
        {{"-O", "2", "--lossy=101", "-o", "a.gif"}, "not \"101\""},
        {{"-O", "2", "--lossy=99999999999999999999", "-o", "a.gif"}, "--lossy takes"},
        {{"--lossy=20", "-o", "a.gif"}, "--lossy is the strength of -O 2"},
        {{"-O", "1", "--lossy=20", "-o", "a.gif"}, "--lossy is the strength of -O 2"},
        {{"--estimate", "--save-project", "p.xml"}, "--estimate writes nothing"},
    };
    for (const BadArguments& bad : table) {
        std::vector<wxString> arguments(bad.arguments.begin(), bad.arguments.end());
        SCOPED_TRACE(wxJoin(wxArrayString(arguments.size(), arguments.data()), ' ').utf8_string());
        const Outcome outcome = RunCli(arguments, pictures);
        EXPECT_EQ(outcome.status, cli::kBadArguments);
        EXPECT_NE(outcome.err.find(bad.complaint), std::string::npos) << outcome.err;
        EXPECT_FALSE(wxFileName::FileExists("a.gif"));
    }
}

TEST(CliOptimise, LevelsWriteWhatTheEstimateForetellsAndTheEstimateWritesNothing) {
    const std::vector<wxString> pictures = Pictures();
    const Outcome byDefault = RunCli({"-o", InHome("default.gif")}, pictures);
    ASSERT_EQ(byDefault.status, cli::kDone) << byDefault.err;
    size_t previous = SIZE_MAX;
    for (const char* level : {"0", "1", "2"}) {
        SCOPED_TRACE(level);
        const wxString out = InHome(wxString("level") + level + ".gif");
        const Outcome written = RunCli({"-O", level, "-o", out}, pictures);
        ASSERT_EQ(written.status, cli::kDone) << written.err;
        const Bytes bytes = ReadFile(out);
        // The default strength finds little to merge in so few sharp colours; it never adds bytes.
        EXPECT_LE(bytes.size(), level == std::string("2") ? previous : previous - 1);
        previous = bytes.size();
        if (level == std::string("0")) {
            EXPECT_EQ(bytes, ReadFile(InHome("default.gif")));
        }

        // Three frames are few enough for the estimate to encode them all.
        const wxString unwritten = InHome(wxString("estimate") + level + ".gif");
        const Outcome estimated = RunCli({wxString("--optimise=") + level, "--estimate", "-o", unwritten}, pictures);
        ASSERT_EQ(estimated.status, cli::kDone) << estimated.err;
        EXPECT_EQ(estimated.out, std::to_string(bytes.size()) + "\n");
        EXPECT_FALSE(wxFileName::FileExists(unwritten));
    }
    const Outcome strong = RunCli({"-O", "2", "--lossy=100", "-o", InHome("strong.gif")}, pictures);
    ASSERT_EQ(strong.status, cli::kDone) << strong.err;
    EXPECT_LT(ReadFile(InHome("strong.gif")).size(), previous);
}

}  // namespace
