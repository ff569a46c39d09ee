// quintrel-gif: its arguments, its messages and exit status, and that it writes what the window's Save writes.
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "project/project_file.h"
#include "window/my_gifhandler/gif_export.h"

#include "tests/support/files.h"
#include "tests/support/gif_decoder.h"

#include <wx/filename.h>

#include <gtest/gtest.h>

#include <sstream>

namespace {

using test_files::Scratch;

struct Outcome {
    int status;
    std::string out, err;
};

Outcome RunCli(const std::vector<wxString>& arguments) {
    std::ostringstream out, err;
    const int status = cli::Main(arguments, {out, err, false});
    return {status, out.str(), err.str()};
}

gif_decoder::Animation DecodeFile(const wxString& path) {
    const std::string bytes = test_files::Read(path);
    return gif_decoder::Decode({bytes.begin(), bytes.end()});
}

}  // namespace

TEST(CliOptions, BadArgumentsAreRefusedWithAReason) {
    const std::pair<std::vector<wxString>, const char*> cases[] = {
        {{"-x", "-o", "a.gif", "a.png"}, "Unknown option"},   {{"-o"}, "needs a value"},
        {{"-d", "12x", "-o", "a.gif", "a.png"}, "not \"12x\""}, {{"-d", "-1", "-o", "a.gif", "a.png"}, "from 0 to 65535"},
        {{"-d", "65536", "-o", "a", "a.png"}, "from 0 to 65535"}, {{"-W", "0", "-o", "a.gif", "a.png"}, "from 1 to 65535"},
        {{"-H", "", "-o", "a.gif", "a.png"}, "-H takes"},     {{"-o", "", "a.png"}, "needs a file name"},
        {{"-o", "a.gif"}, "No images"},                        {{"a.png"}, "No output file"},
        {{"-p", "p.xml", "a.png"}, "not both"},                {{}, "No images"}};
    for (const auto& [arguments, says] : cases) {
        const cli::ParsedArguments parsed = cli::ParseArguments(arguments);
        EXPECT_FALSE(parsed.ok) << says;
        EXPECT_TRUE(parsed.error.Contains(says)) << parsed.error;
    }
    const Outcome outcome = RunCli({"-W", "0", "-o", Scratch("a.gif"), "a.png"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("Usage: quintrel-gif"), std::string::npos);
}

TEST(CliOptions, ValuesFilesAndModesAreRead) {
    cli::ParsedArguments parsed =
        cli::ParseArguments({"-d", "0", "-W", "65535", "-o", "out", "a.png", "--", "-b.png", "-"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.delay, 0);
    EXPECT_EQ(parsed.options.width, 65535);
    EXPECT_FALSE(parsed.options.height);
    EXPECT_EQ(parsed.options.output, "out");
    EXPECT_EQ(parsed.options.images, (std::vector<wxString>{"a.png", "-b.png", "-"}));
    parsed = cli::ParseArguments({"-p", "p.xml", "--save-project", "q.xml", "-H", "+7"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.project, "p.xml");
    EXPECT_EQ(parsed.options.saveProject, "q.xml");
    EXPECT_EQ(parsed.options.height, 7);
    EXPECT_TRUE(cli::ParseArguments({"--save-project", "q.xml", "a.png"}).ok);
}

TEST(Cli, SkipsUnreadableImagesAndFindsTheSizeAsTheWindowDoes) {
    const wxString a = test_files::RampFile("a.png", 100, 50), b = test_files::RampFile("b.png", 50, 100);
    const wxString broken = Scratch("broken.png"), missing = Scratch("missing.png");
    test_files::Write(broken, "not a picture");
    Outcome outcome = RunCli({"-o", Scratch("out"), a, missing, broken, b});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("\"" + missing.utf8_string() + "\": cannot be read: No such file or directory"),
              std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("\"" + broken.utf8_string() + "\": not a supported picture"), std::string::npos)
        << outcome.err;
    EXPECT_EQ(outcome.out, "out.gif (50 * 100)px, 2 frames\n");
    gif_decoder::Animation decoded = DecodeFile(Scratch("out.gif"));
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(wxSize(decoded.screenWidth, decoded.screenHeight), wxSize(50, 100));
    ASSERT_EQ(decoded.frames.size(), 2u);
    EXPECT_EQ(decoded.frames[0].delay, 10);

    const wxString wide = test_files::RampFile("wide.png", 400, 300);
    const struct {
        std::vector<wxString> size;
        wxSize expected;
    } sizes[] = {{{"-W", "200"}, {200, 150}}, {{"-H", "100"}, {133, 100}}, {{"-W", "64", "-H", "20"}, {64, 20}}};
    for (const auto& c : sizes) {
        std::vector<wxString> arguments = c.size;
        arguments.insert(arguments.end(), {"-d", "25", "-o", Scratch("sized.gif"), wide});
        ASSERT_EQ(RunCli(arguments).status, 0);
        decoded = DecodeFile(Scratch("sized.gif"));
        EXPECT_EQ(wxSize(decoded.screenWidth, decoded.screenHeight), c.expected);
        EXPECT_EQ(decoded.frames.at(0).delay, 25);
    }
}

TEST(Cli, FailuresExitWithOneAndWriteNothing) {
    const wxString line = test_files::RampFile("line.png", 400, 1), a = test_files::RampFile("a.png", 10, 10);
    const std::pair<std::vector<wxString>, const char*> cases[] = {
        {{"-o", Scratch("out.gif"), Scratch("none.png")}, "no readable image"},
        {{"-o", Scratch("missing/out.gif"), a}, "Cannot create a file"},
        {{"-W", "100", "-o", Scratch("out.gif"), line}, "100 x 0 has no pixels"},
        {{"-p", Scratch("none.xml")}, "cannot be read"}};
    for (const auto& [arguments, says] : cases) {
        const Outcome outcome = RunCli(arguments);
        EXPECT_EQ(outcome.status, 1) << says;
        EXPECT_NE(outcome.err.find(says), std::string::npos) << outcome.err;
    }
    EXPECT_FALSE(wxFileName::FileExists(Scratch("out.gif")));
}

TEST(Cli, WritesTheSameBytesAsTheSharedExportOfTheSamePictures) {
    const std::vector<wxString> paths = {test_files::RampFile("a.png", 120, 90, 1),
                                         test_files::RampFile("b.png", 200, 100, 2),
                                         test_files::RampFile("c.png", 30, 30, 3)};
    ASSERT_EQ(RunCli({"-W", "150", "-d", "7", "-o", Scratch("cli.gif"), paths[0], paths[1], paths[2]}).status, 0);
    gif_export::Request request;
    request.path = Scratch("engine.gif");
    request.frameCount = 3;
    request.width = 150;
    request.height = 75;  // in proportion to the best size, the 200 by 100 picture
    request.delay = 7;
    ASSERT_TRUE(gif_export::Export(request, [&](size_t i) { return wxImage(paths[i]); }).ok);
    EXPECT_FALSE(test_files::Read(Scratch("cli.gif")).empty());
    EXPECT_TRUE(test_files::Read(Scratch("cli.gif")) == test_files::Read(Scratch("engine.gif")));
}

TEST(Cli, ProjectsOutAndBackIn) {
    const wxString a = test_files::RampFile("a.png", 64, 48), b = test_files::RampFile("b.png", 32, 24);
    const wxString project = Scratch("work.xml");
    ASSERT_TRUE(wxSetWorkingDirectory(Scratch()));  // relative paths are stored absolute
    Outcome outcome = RunCli({"-d", "30", "-o", Scratch("anim"), "--save-project", project, "a.png", "gone.png", "b.png"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const project_file::ProjectContents read = project_file::Read(project).contents;
    EXPECT_EQ(read.width, 64);
    EXPECT_EQ(read.delay, 30);
    EXPECT_EQ(read.gifPath, "anim.gif");
    EXPECT_EQ(read.imagePaths, (std::vector<wxString>{a, b}));

    // Back in: beside the project under its name; -d overrides; the stored size is the reference for -W.
    ASSERT_TRUE(wxRemoveFile(Scratch("anim.gif")));
    ASSERT_EQ(RunCli({"-p", project, "-d", "5"}).status, 0);
    gif_decoder::Animation decoded = DecodeFile(Scratch("anim.gif"));
    ASSERT_EQ(decoded.frames.size(), 2u);
    EXPECT_EQ(decoded.frames[0].delay, 5);
    ASSERT_EQ(RunCli({"-p", project, "-W", "32", "-o", Scratch("small.gif")}).status, 0);
    decoded = DecodeFile(Scratch("small.gif"));
    EXPECT_EQ(wxSize(decoded.screenWidth, decoded.screenHeight), wxSize(32, 24));
    EXPECT_EQ(decoded.frames.at(0).delay, 30);

    project_file::ProjectContents unnamed;
    unnamed.width = unnamed.height = unnamed.delay = 10;
    unnamed.imagePaths = {a};
    ASSERT_TRUE(project_file::Save(Scratch("unnamed.xml"), unnamed).ok);
    outcome = RunCli({"-p", Scratch("unnamed.xml")});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("give one with -o"), std::string::npos);
    unnamed.gifPath = "x.gif";
    unnamed.imagePaths.clear();
    ASSERT_TRUE(project_file::Save(Scratch("empty.xml"), unnamed).ok);
    outcome = RunCli({"-p", Scratch("empty.xml")});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("Failed to load XML file!"), std::string::npos);
    EXPECT_FALSE(wxFileName::FileExists(Scratch("x.gif")));
}
