// The project file: the exact document written, values read back in the file's order, what is refused
// whole, and saves that fail without harming the earlier file.
#include "project/project_file.h"

#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

namespace {

using test_files::Scratch;
using Events = std::vector<std::string>;

// What a read gave, as "kind value" in the file's order; nothing when the file was refused.
Events ReadEvents(const wxString& path, bool* ok = nullptr) {
    const project_file::ReadResult read = project_file::Read(path);
    if (ok)
        *ok = read.ok;
    if (!read.ok)
        return {};
    const project_file::ProjectContents& c = read.contents;
    Events events = {"width " + std::to_string(c.width), "height " + std::to_string(c.height),
                     "name " + c.gifPath.utf8_string(), "delay " + std::to_string(c.delay)};
    if (read.listsNoImage)
        events.push_back("empty");
    for (const wxString& path : c.imagePaths)
        events.push_back("path " + path.utf8_string());
    return events;
}

const std::string kGif = "<width>640</width><height>480</height><delay_time>10</delay_time>";
const Events kHeader = {"width 640", "height 480", "name a.gif", "delay 10"};

std::string Project(const std::string& gif, const std::string& images) {
    return "<project><name>a.gif</name><gif>" + gif + "</gif><images>" + images + "</images></project>";
}

Events Plus(Events events, const Events& more) {
    events.insert(events.end(), more.begin(), more.end());
    return events;
}

}  // namespace

TEST(ProjectFile, WritesTheDocumentWithTheGifsFileNameAndEscapedPaths) {
    project_file::ProjectContents contents;
    contents.gifPath = "/home/ann/out/movie.gif";
    contents.width = 640;
    contents.height = 480;
    contents.delay = 7;
    contents.imagePaths = {"/pics/b.png", "/pics/a & <c>.png"};
    const wxString path = Scratch("p.xml");
    ASSERT_TRUE(project_file::Save(path, contents).ok);
    EXPECT_EQ(test_files::Read(path),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<project>\n  <name>movie.gif</name>\n  <gif>\n"
              "    <width>640</width>\n    <height>480</height>\n    <delay_time>7</delay_time>\n  </gif>\n"
              "  <images>\n    <path>/pics/b.png</path>\n    <path>/pics/a &amp; &lt;c&gt;.png</path>\n"
              "  </images>\n</project>\n");
}

TEST(ProjectFile, ValuesComeBackInTheFileOrder) {
    project_file::ProjectContents contents;
    contents.gifPath = wxString::FromUTF8("/x/Ünïcode 動画.gif");
    contents.width = 1920;
    contents.height = 1080;
    contents.delay = 0;
    contents.imagePaths = {"/p/3.png", wxString::FromUTF8("/p/ü/写真.bmp"), "/p/a&b<c>\"d'.gif", "/p/3.png"};
    ASSERT_TRUE(wxMkdir(Scratch(wxString::FromUTF8("プロジェクト"))));
    const wxString path = Scratch(wxString::FromUTF8("プロジェクト/ø.xml"));
    ASSERT_TRUE(project_file::Save(path, contents).ok);
    bool ok = false;
    EXPECT_EQ(ReadEvents(path, &ok), (Events{"width 1920", "height 1080", "name Ünïcode 動画.gif", "delay 0",
                                                 "path /p/3.png", "path /p/ü/写真.bmp", "path /p/a&b<c>\"d'.gif",
                                                 "path /p/3.png"}));
    EXPECT_TRUE(ok);

    contents.imagePaths.clear();
    for (int i = 0; i < 20000; ++i)
        contents.imagePaths.push_back(wxString::Format("/f/%05d.png", (i * 7919) % 20000));
    ASSERT_TRUE(project_file::Save(path, contents).ok);
    EXPECT_EQ(project_file::Read(path).contents.imagePaths, contents.imagePaths);
}

TEST(ProjectFile, ReadsWhatIsShapedAsTheFormatSaysAndRefusesEverythingElseWhole) {
    const struct {
        std::string text;
        Events events;  // empty: refused
    } cases[] = {
        {Project(kGif, ""), Plus(kHeader, {"empty"})},
        {"<?xml version=\"1.0\"?>\n" + Project(kGif, "\n  \n"), Plus(kHeader, {"empty"})},
        {Project("<width> 12px</width><height>\n\t7 9</height><delay_time>abc</delay_time>", ""),
         {"width 12", "height 7", "name a.gif", "delay 0", "empty"}},
        // The image list ends at the first node that is not a path; a first such node is no empty list.
        {Project(kGif, "<path>/a.png</path><path>/b.png</path><!-- c --><path>/c.png</path>"),
         Plus(kHeader, {"path /a.png", "path /b.png"})},
        {Project(kGif, "<path>/a.png</path>text<path>/c.png</path>"), Plus(kHeader, {"path /a.png"})},
        {Project(kGif, "<!-- none yet -->"), kHeader},
        {Project("<width><b>x</b>12</width><height u=\"px\">480</height><delay_time>10</delay_time><loop/>",
                 "<path><!-- c -->/b.png</path><path></path>"),
         {"width 12", "height 480", "name a.gif", "delay 10", "path /b.png", "path "}},
        // Refused: misshapen, out of range, cut short or not XML at all.
        {Project("<width>640</width><hieght>480</hieght><delay_time>10</delay_time>", ""), {}},
        {Project("<width>640</width><height>480</height>", ""), {}},
        {"<project><name>a.gif</name><gif>" + kGif + "</gif><image/></project>", {}},
        {Project("<height>480</height><width>640</width><delay_time>10</delay_time>", ""), {}},
        {"<project><gif>" + kGif + "</gif><name/><images/></project>", {}},
        {"<project><!-- c --><name/><gif>" + kGif + "</gif><images/></project>", {}},
        {"<!-- by hand -->\n" + Project(kGif, ""), {}},
        {"<Project><name/><gif>" + kGif + "</gif><images/></Project>", {}},
        {Project("<width>0</width><height>480</height><delay_time>10</delay_time>", ""), {}},
        {Project("<width>640</width><height>65536</height><delay_time>10</delay_time>", ""), {}},
        {Project("<width>640</width><height>480</height><delay_time>-5</delay_time>", ""), {}},
        {Project(kGif, "<path>/a.png</path>").substr(0, 100), {}},
        {"", {}},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), {}},
    };
    const wxString path = Scratch("project.xml");
    for (const auto& c : cases) {
        test_files::Write(path, c.text);
        bool ok = false;
        EXPECT_EQ(ReadEvents(path, &ok), c.events) << c.text;
        EXPECT_EQ(ok, !c.events.empty()) << c.text;
    }
    EXPECT_FALSE(project_file::Read(Scratch("missing.xml")).ok);
    EXPECT_FALSE(project_file::Read(Scratch()).ok);
}

TEST(ProjectFile, FailedSavesSayWhyAndLeaveTheEarlierFile) {
    const wxString locked = Scratch("locked.xml"), plain = Scratch("plain.txt");
    test_files::Write(locked, "precious");
    ASSERT_EQ(chmod(locked.fn_str(), 0444), 0);
    test_files::Write(plain, "x");
    const std::pair<wxString, wxString> cases[] = {
        {locked, "\"" + locked + "\" is read-only."},  {Scratch("no such/p.xml"), "No such file or directory"},
        {plain + "/p.xml", "Not a directory"},        {Scratch(), "is a folder"},
        {"", "No file name"}};
    for (const auto& [target, says] : cases) {
        const project_file::SaveResult saved = project_file::Save(target, {});
        EXPECT_FALSE(saved.ok) << target;
        EXPECT_TRUE(saved.reason.Contains(says)) << saved.reason;
    }
    EXPECT_EQ(test_files::Read(locked), "precious");

    const wxString path = Scratch("p.xml");
    test_files::Write(path, "the earlier project");
    project_file::ProjectContents contents;
    contents.imagePaths.assign(1000, "/a/rather/long/folder/name/for/every/frame.png");
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, RLIM_INFINITY};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const project_file::SaveResult saved = project_file::Save(path, contents);
    EXPECT_FALSE(saved.ok);
    EXPECT_TRUE(saved.reason.StartsWith("Cannot write \"" + path + "\"")) << saved.reason;
    EXPECT_EQ(test_files::Read(path), "the earlier project");
    EXPECT_EQ(test_files::FilesIn(Scratch()), (std::vector<wxString>{locked, path, plain}));
}
