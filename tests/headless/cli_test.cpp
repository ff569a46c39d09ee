#include "cli/cli_options.h"
#include "cli/cli_run.h"

#include "project/project_file.h"
#include "tests/support/gif_decoder.h"
#include "tests/support/isolated_home.h"
#include "window/my_gifhandler/gif_export.h"

#include <wx/ffile.h>
#include <wx/filename.h>

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Bytes = std::vector<unsigned char>;

wxString Folder() { return wxString(IsolatedHomeListener::CurrentHome()); }

// Writes a PNG of the size with a colour ramp (many colours) and returns its path.
wxString Picture(const wxString& name, int width, int height) {
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetRGB(x, y, x * 255 / width, y * 255 / height, (x + y) % 256);
    const wxString path = Folder() + "/" + name;
    EXPECT_TRUE(image.SaveFile(path, wxBITMAP_TYPE_PNG));
    return path;
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

Outcome RunCli(const std::vector<wxString>& arguments) {
    std::ostringstream out, err;
    const int status = cli::Main(arguments, {out, err, false});
    return {status, out.str(), err.str()};
}

gif_decoder::Animation DecodeFile(const wxString& path) { return gif_decoder::Decode(ReadFile(path)); }

struct ProjectValues {
    int width = -1, height = -1, delay = -1;
    wxString name;
    std::vector<wxString> paths;
};

ProjectValues ReadProject(const wxString& path) {
    ProjectValues values;
    project_file::ReadCallbacks callbacks;
    callbacks.width = [&](int v) { values.width = v; };
    callbacks.height = [&](int v) { values.height = v; };
    callbacks.delay = [&](int v) { values.delay = v; };
    callbacks.name = [&](const wxString& v) { values.name = v; };
    callbacks.imagePath = [&](const wxString& v) { values.paths.push_back(v); };
    project_file::Read(path, callbacks);
    return values;
}

}  // namespace

TEST(CliOptions, BadArgumentsAreRefusedWithAReason) {
    const struct {
        std::vector<wxString> arguments;
        const char* says;
    } cases[] = {
        {{"-x", "-o", "a.gif", "a.png"}, "Unknown option"},
        {{"-o"}, "needs a value"},
        {{"-o", "a.gif", "a.png", "-d"}, "needs a value"},
        {{"-d", "abc", "-o", "a.gif", "a.png"}, "not \"abc\""},
        {{"-d", "12x", "-o", "a.gif", "a.png"}, "not \"12x\""},
        {{"-d", "-1", "-o", "a.gif", "a.png"}, "from 0 to 65535"},
        {{"-d", "65536", "-o", "a.gif", "a.png"}, "from 0 to 65535"},
        {{"-W", "0", "-o", "a.gif", "a.png"}, "from 1 to 65535"},
        {{"-H", "", "-o", "a.gif", "a.png"}, "-H takes"},
        {{"-o", "", "a.png"}, "needs a file name"},
        {{"-o", "a.gif"}, "No images"},
        {{"a.png"}, "No output file"},
        {{"-p", "p.xml", "a.png"}, "not both"},
        {{}, "No images"},
    };
    for (const auto& c : cases) {
        const cli::ParsedArguments parsed = cli::ParseArguments(c.arguments);
        EXPECT_FALSE(parsed.ok) << c.says;
        EXPECT_TRUE(parsed.error.Contains(c.says)) << parsed.error;
    }
}

TEST(CliOptions, ValuesFilesAndModesAreRead) {
    cli::ParsedArguments parsed =
        cli::ParseArguments({"-d", "25", "-W", "320", "-o", "out", "a.png", "--", "-b.png", "c.png"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.delay, 25);
    EXPECT_EQ(parsed.options.width, 320);
    EXPECT_FALSE(parsed.options.height);
    EXPECT_EQ(parsed.options.output, "out");
    EXPECT_EQ(parsed.options.images, (std::vector<wxString>{"a.png", "-b.png", "c.png"}));

    parsed = cli::ParseArguments({"-p", "p.xml", "--save-project", "q.xml", "-H", "+7"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.project, "p.xml");
    EXPECT_EQ(parsed.options.saveProject, "q.xml");
    EXPECT_EQ(parsed.options.height, 7);
    EXPECT_TRUE(parsed.options.output.empty());

    EXPECT_TRUE(cli::ParseArguments({"--save-project", "q.xml", "a.png"}).ok);
    EXPECT_TRUE(cli::ParseArguments({"--help", "-x"}).ok == false);
    EXPECT_TRUE(cli::ParseArguments({"--version"}).options.version);
}

TEST(Cli, HelpVersionAndUsageErrors) {
    Outcome outcome = RunCli({"--version"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "1.2.6\n");
    outcome = RunCli({"--help"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("Usage: quintrel-gif"), std::string::npos);
    EXPECT_TRUE(outcome.err.empty());
    outcome = RunCli({"-W", "0", "-o", "a.gif", "a.png"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("Usage: quintrel-gif"), std::string::npos);
    EXPECT_FALSE(wxFileName::FileExists("a.gif"));
}

TEST(Cli, UnreadableImagesAreNamedAndSkipped) {
    const wxString a = Picture("a.png", 100, 50);
    const wxString b = Picture("b.png", 50, 100);
    const wxString broken = Folder() + "/broken.png";
    wxFFile(broken, "wb").Write(wxString("not a picture"));
    const wxString missing = Folder() + "/missing.png";
    const Outcome outcome = RunCli({"-o", Folder() + "/out", a, missing, broken, b});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("\"" + missing.utf8_string() + "\": cannot be read: No such file or directory; skipped"),
              std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("\"" + broken.utf8_string() + "\": not a supported picture; skipped"), std::string::npos)
        << outcome.err;
    EXPECT_EQ(outcome.out, "out.gif (50 * 100)px, 2 frames\n");

    // ".gif" appended; the size is the program's best size (the later, taller picture wins); the
    // default delay is 10.
    const gif_decoder::Animation decoded = DecodeFile(Folder() + "/out.gif");
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.screenWidth, 50);
    EXPECT_EQ(decoded.screenHeight, 100);
    EXPECT_EQ(decoded.loopCount, 0);
    ASSERT_EQ(decoded.frames.size(), 2u);
    EXPECT_EQ(decoded.frames[0].delay, 10);
}

TEST(Cli, NoReadableImageAndUnwritableOutputFail) {
    Outcome outcome = RunCli({"-o", Folder() + "/out.gif", Folder() + "/none.png"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("no readable image"), std::string::npos);
    EXPECT_FALSE(wxFileName::FileExists(Folder() + "/out.gif"));

    const wxString a = Picture("a.png", 10, 10);
    outcome = RunCli({"-o", Folder() + "/missing/folder/out.gif", a});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("Cannot create a file"), std::string::npos) << outcome.err;

    // A computed side of zero is refused.
    const wxString line = Picture("line.png", 400, 1);
    outcome = RunCli({"-W", "100", "-o", Folder() + "/thin.gif", line});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("100 x 0 has no pixels"), std::string::npos) << outcome.err;
    EXPECT_FALSE(wxFileName::FileExists(Folder() + "/thin.gif"));
}

TEST(Cli, OneGivenSideSetsTheOtherInProportion) {
    const wxString a = Picture("a.png", 400, 300);
    Outcome outcome = RunCli({"-W", "200", "-d", "25", "-o", Folder() + "/w.gif", a});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    gif_decoder::Animation decoded = DecodeFile(Folder() + "/w.gif");
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.screenWidth, 200);
    EXPECT_EQ(decoded.screenHeight, 150);
    EXPECT_EQ(decoded.frames[0].delay, 25);

    outcome = RunCli({"-H", "100", "-o", Folder() + "/h.gif", a});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    decoded = DecodeFile(Folder() + "/h.gif");
    EXPECT_EQ(decoded.screenWidth, 133);
    EXPECT_EQ(decoded.screenHeight, 100);

    outcome = RunCli({"-W", "64", "-H", "20", "-o", Folder() + "/both.gif", a});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    decoded = DecodeFile(Folder() + "/both.gif");
    EXPECT_EQ(decoded.screenWidth, 64);
    EXPECT_EQ(decoded.screenHeight, 20);
}

TEST(Cli, BytesEqualTheSharedExportOfTheSamePictures) {
    const std::vector<wxString> paths = {Picture("a.png", 120, 90), Picture("b.png", 200, 100), Picture("c.png", 30, 30)};
    ASSERT_EQ(RunCli({"-W", "150", "-d", "7", "-o", Folder() + "/cli.gif", paths[0], paths[1], paths[2]}).status, 0);

    // What the window's Save hands the engine: the loaded pictures, its output size and delay.
    gif_export::Request request;
    request.path = Folder() + "/engine.gif";
    request.frameCount = 3;
    request.width = 150;
    request.height = 75;  // 150 * 100 / 200: the best size is the 200 by 100 picture
    request.delay = 7;
    ASSERT_TRUE(gif_export::Export(request, [&](size_t i) { return wxImage(paths[i]); }).ok);
    const Bytes cli = ReadFile(Folder() + "/cli.gif");
    EXPECT_FALSE(cli.empty());
    EXPECT_TRUE(cli == ReadFile(Folder() + "/engine.gif"));
}

TEST(Cli, ProjectOutAndBackIn) {
    const wxString a = Picture("a.png", 64, 48);
    const wxString b = Picture("b.png", 32, 24);
    const wxString project = Folder() + "/work.xml";
    // Relative image paths are stored absolute.
    ASSERT_TRUE(wxSetWorkingDirectory(Folder()));
    Outcome outcome = RunCli({"-d", "30", "-o", Folder() + "/anim", "--save-project", project, "a.png",
                              "gone.png", "b.png"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    ProjectValues values = ReadProject(project);
    EXPECT_EQ(values.width, 64);
    EXPECT_EQ(values.height, 48);
    EXPECT_EQ(values.delay, 30);
    EXPECT_EQ(values.name, "anim.gif");
    EXPECT_EQ(values.paths, (std::vector<wxString>{a, b}));

    // Read back: the GIF goes beside the project under its name; -d overrides the stored delay.
    ASSERT_TRUE(wxRemoveFile(Folder() + "/anim.gif"));
    outcome = RunCli({"-p", project, "-d", "5"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    gif_decoder::Animation decoded = DecodeFile(Folder() + "/anim.gif");
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.screenWidth, 64);
    EXPECT_EQ(decoded.screenHeight, 48);
    ASSERT_EQ(decoded.frames.size(), 2u);
    EXPECT_EQ(decoded.frames[0].delay, 5);

    // The project's stored size is the reference for -W.
    outcome = RunCli({"-p", project, "-W", "32", "-o", Folder() + "/small.gif"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    decoded = DecodeFile(Folder() + "/small.gif");
    EXPECT_EQ(decoded.screenHeight, 24);
    EXPECT_EQ(decoded.frames[0].delay, 30);

    // Only a project, no GIF.
    outcome = RunCli({"--save-project", Folder() + "/only.xml", "b.png"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    values = ReadProject(Folder() + "/only.xml");
    EXPECT_EQ(values.name, "");
    EXPECT_EQ(values.width, 32);
    EXPECT_EQ(values.paths, (std::vector<wxString>{b}));
}

TEST(Cli, UnusableProjectsFail) {
    Outcome outcome = RunCli({"-p", Folder() + "/none.xml"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("cannot read project"), std::string::npos);

    // No name stored and no -o.
    project_file::ProjectContents contents;
    contents.width = 10;
    contents.height = 10;
    contents.delay = 10;
    contents.imagePaths = {Picture("a.png", 10, 10)};
    ASSERT_TRUE(project_file::Save(Folder() + "/unnamed.xml", contents).ok);
    outcome = RunCli({"-p", Folder() + "/unnamed.xml"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("give one with -o"), std::string::npos);

    // No images.
    contents.gifPath = "x.gif";
    contents.imagePaths.clear();
    ASSERT_TRUE(project_file::Save(Folder() + "/empty.xml", contents).ok);
    outcome = RunCli({"-p", Folder() + "/empty.xml"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("Failed to load XML file!"), std::string::npos);
    EXPECT_NE(outcome.err.find("no readable image"), std::string::npos);
    EXPECT_FALSE(wxFileName::FileExists(Folder() + "/x.gif"));
}
