// quintrel-gif: its arguments, its messages and exit status, what it writes or leaves alone, and that it
// writes what the window's export writes.
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "project/project_file.h"
#include "window/my_gifhandler/gif_export.h"

#include "tests/support/files.h"
#include "tests/support/gif_decoder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

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

// "width x height, frames, first delay" of a GIF, as a decoder independent of ours sees it.
std::string Described(const std::string& bytes) {
    const gif_decoder::Animation gif = gif_decoder::Decode({bytes.begin(), bytes.end()});
    if (!gif.ok || gif.frames.empty())
        return "undecodable " + gif.error;
    return wxString::Format("%dx%d, %zu frames, delay %d", gif.screenWidth, gif.screenHeight, gif.frames.size(),
                            gif.frames[0].delay).ToStdString();
}

// A project file in the scratch folder naming the GIF `name` and holding `image`, if any.
wxString ProjectFile(const wxString& file, const std::string& name, const wxString& image) {
    test_files::Write(Scratch(file), "<project><name>" + name + "</name><gif><width>12</width><height>8</height>"
                      "<delay_time>5</delay_time></gif><images>" + (image.empty() ? "" : "<path>" + image.utf8_string() + "</path>") +
                      "</images></project>");
    return Scratch(file);
}

}  // namespace

TEST(CliOptions, BadArgumentsAreRefusedWithAReasonAndGoodOnesRead) {
    const std::pair<std::vector<wxString>, const char*> cases[] = {
        {{"-x", "-o", "a.gif", "a.png"}, "Unknown option"},   {{"-o"}, "needs a value"},
        {{"-d", "12x", "-o", "a.gif", "a.png"}, "not \"12x\""}, {{"-d", "-1", "-o", "a.gif", "a.png"}, "from 0 to 65535"},
        {{"-d", "65536", "-o", "a", "a.png"}, "from 0 to 65535"}, {{"-W", "0", "-o", "a.gif", "a.png"}, "from 1 to 65535"},
        {{"-o", "", "a.png"}, "needs a file name"},            {{"-o", "a.gif"}, "No images"},
        {{"a.png"}, "No output file"},                         {{"-p", "p.xml", "a.png"}, "not both"}};
    for (const auto& [arguments, says] : cases) {
        const cli::ParsedArguments parsed = cli::ParseArguments(arguments);
        EXPECT_TRUE(!parsed.ok && parsed.error.Contains(says)) << says << ": " << parsed.error;
    }
    const Outcome outcome = RunCli({"-W", "0", "-o", Scratch("a.gif"), "a.png"});
    EXPECT_EQ(outcome.status, cli::kBadArguments);
    EXPECT_NE(outcome.err.find("Usage: quintrel-gif"), std::string::npos);
    // The smallest delay and the largest size; after "--" everything is a file.
    const cli::ParsedArguments parsed = cli::ParseArguments({"-d", "0", "-W", "65535", "-o", "out", "a.png", "--", "-b.png", "-"});
    const cli::Options& read = parsed.options;
    EXPECT_EQ(std::make_tuple(read.delay, read.width, read.height, read.output, read.images),
              std::make_tuple(std::optional<int>(0), std::optional<int>(65535), std::optional<int>(), wxString("out"),
                              std::vector<wxString>{"a.png", "-b.png", "-"})) << parsed.error;
}

// Refused pictures are named with their reason and skipped; the rest is written at the size the window
// finds, with the bytes of the window's export of the same pictures.
TEST(Cli, WritesWhatTheWindowsExportWritesAndNamesEveryRefusedPicture) {
    const wxString truncated = Scratch("cut.png"), missing = Scratch("gone.png");  // the reasons are the intake's
    test_files::Write(truncated, test_files::Read(test_files::RampFile("whole.png", 40, 30)).substr(0, 60));
    const std::vector<wxString> paths = {test_files::RampFile("a.png", 100, 50, 1), test_files::RampFile("b.png", 50, 100, 2)};
    const Outcome outcome = RunCli({"-o", Scratch("out"), paths[0], truncated, missing, paths[1]});
    EXPECT_EQ(outcome.status, cli::kDone) << outcome.err;
    EXPECT_EQ(outcome.out, "out.gif (50 * 100)px, 2 frames\n");
    for (const auto& [path, reason] : {std::pair{truncated, "damaged"}, {missing, "cannot be read: No such file or directory"}}) {
        const std::string line = "quintrel-gif: \"" + path.utf8_string() + "\": " + reason + "; skipped.\n";
        EXPECT_NE(outcome.err.find(line), std::string::npos) << line << outcome.err;
    }
    ASSERT_TRUE(gif_export::Export({Scratch("engine.gif"), 2, 50, 100, 10}, [&](size_t i) { return wxImage(paths[i]); }).ok);
    EXPECT_TRUE(test_files::Read(Scratch("out.gif")) == test_files::Read(Scratch("engine.gif")));
}

// Every failure exits with 1, says why, prints no success line and leaves the folder as it was: neither
// target replaced when either cannot be written, no temporary left, no GIF beside or above a project.
TEST(Cli, FailuresExitWithOneAndChangeNothing) {
    const wxString gif = Scratch("x.gif"), project = Scratch("p.xml"), a = test_files::RampFile("a.png", 12, 8);
    ASSERT_TRUE(wxMkdir(Scratch("projects")));
    const std::pair<std::vector<wxString>, const char*> cases[] = {
        {{"-o", gif, Scratch("none.png")}, "no readable image"},
        {{"-W", "100", "-o", gif, test_files::RampFile("line.png", 400, 1)}, "100 x 0 has no pixels"},
        {{"-p", ProjectFile("unnamed.xml", "", a)}, "give one with -o"},
        {{"-p", ProjectFile("empty.xml", "x.gif", "")}, "Failed to load XML file!"},
        {{"-p", ProjectFile("projects/p.xml", "../x", a)}, "contains a folder"},
        {{"-o", gif, "--save-project", "/missing/p.xml", a}, "Cannot create a file in \"/missing\""},
        {{"-o", "/missing/x.gif", "--save-project", project, a}, "Cannot create a file in \"/missing\""}};
    for (const auto& [arguments, says] : cases) {
        test_files::Write(gif, "earlier gif");
        test_files::Write(project, "earlier project");
        const std::vector<wxString> before = test_files::FilesIn(Scratch());
        const Outcome outcome = RunCli(arguments);
        EXPECT_TRUE(outcome.status == cli::kFailed && outcome.err.find(says) != std::string::npos) << says << ": " << outcome.err;
        EXPECT_EQ(outcome.out + test_files::Read(gif) + test_files::Read(project), "earlier gifearlier project") << says;
        EXPECT_EQ(test_files::FilesIn(Scratch()), before) << says;
    }
}

// The images go in natural order unless told otherwise; relative paths are stored absolute; the export level
// is stored and used again.
TEST(Cli, ProjectsOutAndBackIn) {
    const wxString a = test_files::RampFile("a10.png", 64, 48), b = test_files::RampFile("a9.png", 32, 24), project = Scratch("work.xml");
    ASSERT_TRUE(wxSetWorkingDirectory(Scratch()));
    using Paths = std::vector<wxString>;  // kept as given, without a GIF; then sorted, with one, smaller
    for (const auto& [options, level, gif, images] : {std::tuple<Paths, int, wxString, Paths>{{"--no-sort"}, 0, "", {a, b}},
                                                      {{"-o", Scratch("anim"), "-O", "1"}, 1, "anim.gif", {b, a}}}) {
        Paths arguments = options;
        arguments.insert(arguments.end(), {"-d", "30", "--save-project", project, "a10.png", "gone.png", "a9.png"});
        const Outcome outcome = RunCli(arguments);
        ASSERT_EQ(outcome.status, cli::kDone) << outcome.err;
        const project_file::ProjectContents read = project_file::Read(project).contents;
        EXPECT_EQ(std::make_tuple(read.width, read.height, read.delay, read.level, read.gifPath, read.imagePaths),
                  std::make_tuple(64, 48, 30, level, gif, images));
        EXPECT_EQ(wxFileExists(Scratch("anim.gif")), !gif.empty());
    }
    // Back in: beside the project under its name; -d overrides; the stored size is the reference for -W and
    // -H, which keep its proportion, truncated, unless both are given; the stored level holds unless -O is given.
    ASSERT_TRUE(wxRemoveFile(Scratch("anim.gif")));
    EXPECT_EQ(RunCli({"-p", project, "-d", "5"}).status, cli::kDone);
    EXPECT_EQ(Described(test_files::Read(Scratch("anim.gif"))), "64x48, 2 frames, delay 5");
    const auto exported = [&](Paths arguments) {
        arguments.insert(arguments.end(), {"-p", project, "-o", Scratch("again.gif")});
        EXPECT_EQ(RunCli(arguments).status, cli::kDone);
        return test_files::Read(Scratch("again.gif"));
    };
    for (const auto& [arguments, size] : {std::pair<Paths, std::string>{{"-W", "50"}, "50x37"},
                                          {{"-H", "20"}, "26x20"}, {{"-W", "64", "-H", "20"}, "64x20"}})
        EXPECT_EQ(Described(exported(arguments)), size + ", 2 frames, delay 30");
    EXPECT_EQ(exported({}), exported({"-O", "1"}));
    EXPECT_NE(exported({}), exported({"-O", "0"}));
}

// The installed program, whose arguments reach it as bytes, not as strings already converted.
TEST(Cli, NamesThatAreNotUtf8ReachTheFileSystemAsTheirBytes) {
    const std::string home = Scratch().utf8_string(), picture = home + "/\xff\xfe.png";
    const std::string gif = home + "/out/\xff.gif", project = home + "/out/\xe9t\xe9.xml";
    ASSERT_TRUE(wxMkdir(Scratch("out")));
    ASSERT_EQ(rename(test_files::RampFile("a.png", 12, 8).fn_str(), picture.c_str()), 0);
    for (const std::string locale : {"C.UTF-8", "C"}) {
        const std::string program = "LC_ALL=" + locale + " " QUINTREL_BINARY_DIR "/bin/quintrel-gif ";
        const test_files::Ran ran = test_files::Run(program + "-o '" + gif + "' --save-project '" + project + "' '" + picture + "'");
        EXPECT_EQ(ran.status, cli::kDone) << locale << ": " << ran.output;
        // The project keeps the picture's and the GIF's bytes through its UTF-8 text.
        ASSERT_EQ(unlink(gif.c_str()), 0);
        EXPECT_EQ(test_files::Run(program + "-p '" + project + "'").status, cli::kDone) << locale;
        EXPECT_EQ(access(gif.c_str(), F_OK), 0) << locale;
    }
}
