// The project file: the exact document written, values read back in the file's order, how far a damaged or
// misshapen file is read, and saves that fail without harming the earlier file.
#include "project/project_file.h"

#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <climits>
#include <csignal>

namespace {

using test_files::Scratch;
using Events = std::vector<std::string>;

// Every delivery in its order, as "kind value".
Events ReadEvents(const wxString& path, project_file::ReadResult* result = nullptr) {
    Events events;
    project_file::ReadCallbacks callbacks;
    callbacks.width = [&](int v) { events.push_back("width " + std::to_string(v)); };
    callbacks.height = [&](int v) { events.push_back("height " + std::to_string(v)); };
    callbacks.name = [&](const wxString& v) { events.push_back("name " + v.utf8_string()); };
    callbacks.delay = [&](int v) { events.push_back("delay " + std::to_string(v)); };
    callbacks.emptyImages = [&] { events.push_back("empty"); };
    callbacks.imagePath = [&](const wxString& v) { events.push_back("path " + v.utf8_string()); };
    const project_file::ReadResult read = project_file::Read(path, callbacks);
    if (result)
        *result = read;
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
    project_file::ReadResult result{};
    EXPECT_EQ(ReadEvents(path, &result), (Events{"width 1920", "height 1080", "name Ünïcode 動画.gif", "delay 0",
                                                 "path /p/3.png", "path /p/ü/写真.bmp", "path /p/a&b<c>\"d'.gif",
                                                 "path /p/3.png"}));
    EXPECT_EQ(result, project_file::ReadResult::Finished);

    contents.imagePaths.clear();
    for (int i = 0; i < 20000; ++i)
        contents.imagePaths.push_back(wxString::Format("/f/%05d.png", (i * 7919) % 20000));
    ASSERT_TRUE(project_file::Save(path, contents).ok);
    std::vector<wxString> paths;
    project_file::ReadCallbacks callbacks;
    callbacks.imagePath = [&](const wxString& p) { paths.push_back(p); };
    EXPECT_EQ(project_file::Read(path, callbacks), project_file::ReadResult::Finished);
    EXPECT_EQ(paths, contents.imagePaths);
}

TEST(ProjectFile, ReadsAsFarAsTheFilesShapeAllows) {
    using R = project_file::ReadResult;
    const struct {
        std::string text;
        Events events;
        R result;
    } cases[] = {
        {Project(kGif, ""), Plus(kHeader, {"empty"}), R::Finished},
        {"<?xml version=\"1.0\"?>\n" + Project(kGif, "\n  \n"), Plus(kHeader, {"empty"}), R::Finished},
        {Project("<width>abc</width><height> 12px</height><delay_time>\n-7 9</delay_time>", ""),
         {"width 0", "height 12", "name a.gif", "delay -7", "empty"}, R::Finished},
        {Project("<width>+3</width><height>99999999999</height><delay_time/>", ""),
         {"width 3", "height " + std::to_string(INT_MAX), "name a.gif", "delay 0", "empty"}, R::Finished},
        // The image list ends at the first node that is not a path; a first such node is no empty list.
        {Project(kGif, "<path>/a.png</path><path>/b.png</path><!-- c --><path>/c.png</path>"),
         Plus(kHeader, {"path /a.png", "path /b.png"}), R::Finished},
        {Project(kGif, "<path>/a.png</path>text<path>/c.png</path>"), Plus(kHeader, {"path /a.png"}), R::Finished},
        {Project(kGif, "<!-- none yet -->"), kHeader, R::Finished},
        {Project("<width><b>x</b>12</width><height u=\"px\">480</height><delay_time>10</delay_time><loop/>",
                 "<path><!-- c -->/b.png</path><path></path>"),
         {"width 12", "height 480", "name a.gif", "delay 10", "path /b.png", "path "}, R::Finished},
        // Each check stops the read where it fails, keeping what came before.
        {Project("<width>640</width><hieght>480</hieght><delay_time>10</delay_time>", ""), {"width 640"}, R::Stopped},
        {Project("<width>640</width><height>480</height>", ""), {"width 640", "height 480", "name a.gif"}, R::Stopped},
        {"<project><name>a.gif</name><gif>" + kGif + "</gif><image/></project>", kHeader, R::Stopped},
        {Project("<height>480</height><width>640</width><delay_time>10</delay_time>", ""), {}, R::Stopped},
        {"<project><gif>" + kGif + "</gif><name/><images/></project>", {}, R::Stopped},
        {"<project><!-- c --><name/><gif>" + kGif + "</gif><images/></project>", {}, R::Stopped},
        {"<!-- by hand -->\n" + Project(kGif, ""), {}, R::Stopped},
        {"<Project><name/><gif>" + kGif + "</gif><images/></Project>", {}, R::Stopped},
        {Project(kGif, "<path>/a.png</path>").substr(0, 100), {}, R::Stopped},  // cut short
        {"", {}, R::Stopped},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), {}, R::Stopped},
    };
    const wxString path = Scratch("project.xml");
    for (const auto& c : cases) {
        test_files::Write(path, c.text);
        project_file::ReadResult result{};
        EXPECT_EQ(ReadEvents(path, &result), c.events) << c.text;
        EXPECT_EQ(result, c.result) << c.text;
    }
    EXPECT_TRUE(ReadEvents(Scratch("missing.xml")).empty());
    EXPECT_TRUE(ReadEvents(Scratch()).empty());
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
