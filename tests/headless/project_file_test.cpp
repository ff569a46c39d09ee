#include "project/project_file.h"
#include "tests/support/isolated_home.h"

#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/filefn.h>

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

wxString Scratch(const wxString& name) {
    return wxString::FromUTF8(IsolatedHomeListener::CurrentHome()) + "/" + name;
}

void WriteBytes(const wxString& path, const std::string& bytes) {
    wxFFile file(path, "wb");
    ASSERT_TRUE(file.IsOpened());
    file.Write(bytes.data(), bytes.size());
}

std::string ReadBytes(const wxString& path) {
    wxFFile file(path, "rb");
    std::string bytes(static_cast<size_t>(file.Length()), '\0');
    file.Read(bytes.data(), bytes.size());
    return bytes;
}

std::vector<wxString> FilesIn(const wxString& folder) {
    wxArrayString names;
    wxDir::GetAllFiles(folder, &names, wxString(), wxDIR_FILES | wxDIR_HIDDEN);
    names.Sort();
    return {names.begin(), names.end()};
}

// What a read gave, as "kind value" in the file's order; nothing when the file was refused.
struct Recorder {
    std::vector<std::string> events;
    bool ok = false;
    wxString reason;
};

Recorder ReadFile(const wxString& path) {
    Recorder recorder;
    const project_file::ReadResult read = project_file::Read(path);
    recorder.ok = read.ok;
    recorder.reason = read.reason;
    if (!read.ok)
        return recorder;
    const project_file::ProjectContents& c = read.contents;
    recorder.events = {"width " + std::to_string(c.width), "height " + std::to_string(c.height),
                       "name " + c.gifPath.utf8_string(), "delay " + std::to_string(c.delay)};
    if (read.listsNoImage)
        recorder.events.push_back("empty");
    for (const wxString& v : c.imagePaths)
        recorder.events.push_back("path " + v.utf8_string());
    return recorder;
}

Recorder ReadText(const std::string& text) {
    const wxString path = Scratch("project.xml");
    WriteBytes(path, text);
    return ReadFile(path);
}

// A well-formed project around the given "gif" content and "images" content.
std::string Project(const std::string& gif, const std::string& images, const std::string& name = "<name>a.gif</name>") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<project>" + name + "<gif>" + gif + "</gif><images>" + images +
           "</images></project>\n";
}

const std::string kGif = "<width>640</width><height>480</height><delay_time>10</delay_time>";
const std::vector<std::string> kHeader = {"width 640", "height 480", "name a.gif", "delay 10"};

std::vector<std::string> HeaderThen(std::vector<std::string> rest) {
    std::vector<std::string> all = kHeader;
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
}

}  // namespace

TEST(ProjectFileWriter, WritesTheDocumentInItsOrderWithTwoSpaceIndentation) {
    project_file::ProjectContents contents;
    contents.gifPath = "/home/ann/out/movie.gif";
    contents.width = 640;
    contents.height = -3;
    contents.delay = 10;
    contents.imagePaths = {"/pics/b.png", "/pics/a & <c>.png"};
    const wxString path = Scratch("p.xml");
    const project_file::SaveResult saved = project_file::Save(path, contents);
    ASSERT_TRUE(saved.ok) << saved.reason;
    EXPECT_TRUE(saved.reason.empty());
    EXPECT_EQ(ReadBytes(path),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<project>\n"
              "  <name>movie.gif</name>\n"
              "  <gif>\n"
              "    <width>640</width>\n"
              "    <height>-3</height>\n"
              "    <delay_time>10</delay_time>\n"
              "  </gif>\n"
              "  <images>\n"
              "    <path>/pics/b.png</path>\n"
              "    <path>/pics/a &amp; &lt;c&gt;.png</path>\n"
              "  </images>\n"
              "</project>\n");
}

TEST(ProjectFileWriter, EmptyNameAndEmptyImageListStillHaveTheirElements) {
    const wxString path = Scratch("p.xml");
    ASSERT_TRUE(project_file::Save(path, {}).ok);
    EXPECT_EQ(ReadBytes(path),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<project>\n"
              "  <name></name>\n"
              "  <gif>\n"
              "    <width>0</width>\n"
              "    <height>0</height>\n"
              "    <delay_time>0</delay_time>\n"
              "  </gif>\n"
              "  <images/>\n"
              "</project>\n");
}

TEST(ProjectFileWriter, NameIsTheFileNamePartOfTheGifPath) {
    EXPECT_EQ(project_file::FileNamePart("/a/b/c.gif"), "c.gif");
    EXPECT_EQ(project_file::FileNamePart("c.gif"), "c.gif");
    EXPECT_EQ(project_file::FileNamePart("/a/b/"), "");
    EXPECT_EQ(project_file::FileNamePart(""), "");
}

TEST(ProjectFileRoundTrip, ValuesComeBackInTheFileOrder) {
    project_file::ProjectContents contents;
    contents.gifPath = wxString::FromUTF8("/tmp/x/Ünïcode ĝif 動画.gif");
    contents.width = 1920;
    contents.height = 1080;
    contents.delay = 7;
    contents.imagePaths = {"/p/3.png", "/p/1 space.jpg", wxString::FromUTF8("/p/ü/写真.bmp"), "/p/a&b<c>\"d'.gif",
                           "/p/3.png"};
    // The project file itself may sit in a folder with any name too.
    const wxString folder = Scratch(wxString::FromUTF8("プロジェクト ü"));
    ASSERT_TRUE(wxMkdir(folder));
    const wxString path = folder + wxString::FromUTF8("/ø.xml");
    const project_file::SaveResult saved = project_file::Save(path, contents);
    ASSERT_TRUE(saved.ok) << saved.reason;
    const Recorder read = ReadFile(path);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.events, (std::vector<std::string>{"width 1920", "height 1080", "name Ünïcode ĝif 動画.gif",
                                                     "delay 7", "path /p/3.png", "path /p/1 space.jpg",
                                                     "path /p/ü/写真.bmp", "path /p/a&b<c>\"d'.gif",
                                                     "path /p/3.png"}));
}

TEST(ProjectFileRoundTrip, EmptyNameReadsBackEmptyAndEmptyListIsAnnounced) {
    project_file::ProjectContents contents;
    contents.width = 5;
    contents.height = 6;
    contents.delay = 0;
    const wxString path = Scratch("empty.xml");
    ASSERT_TRUE(project_file::Save(path, contents).ok);
    const Recorder read = ReadFile(path);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.events, (std::vector<std::string>{"width 5", "height 6", "name ", "delay 0", "empty"}));
}

TEST(ProjectFileRoundTrip, ThousandsOfPathsKeepTheirOrder) {
    project_file::ProjectContents contents;
    contents.width = contents.height = 1;
    for (int i = 0; i < 20000; ++i)
        contents.imagePaths.push_back(wxString::Format("/frames/%05d.png", (i * 7919) % 20000));
    const wxString path = Scratch("huge.xml");
    ASSERT_TRUE(project_file::Save(path, contents).ok);
    const project_file::ReadResult read = project_file::Read(path);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.contents.imagePaths, contents.imagePaths);
}

TEST(ProjectFileReader, NumbersFollowTheLeadingIntegerRule) {
    const auto read = ReadText(Project(
        "<width> 12px</width><height>\n\t7 9</height><delay_time>abc</delay_time>", ""));
    EXPECT_EQ(read.events, (std::vector<std::string>{"width 12", "height 7", "name a.gif", "delay 0", "empty"}));
    const auto big = ReadText(Project("<width>+3</width><height>65535</height><delay_time></delay_time>",
                                      "<path>/x.png</path>"));
    EXPECT_EQ(big.events, (std::vector<std::string>{"width 3", "height 65535", "name a.gif", "delay 0",
                                                    "path /x.png"}));
}

TEST(ProjectFileReader, EveryOrderCheckStopsWhereItFails) {
    // A file that fails any check delivers nothing at all, whatever came before the failure.
    for (const std::string& text : std::vector<std::string>{
                                   Project("<height>480</height><width>640</width><delay_time>10</delay_time>", ""),
                                   Project("<width>640</width><hieght>480</hieght><delay_time>10</delay_time>", ""),
                                   Project("<width>640</width><height>480</height>", "<path>/x.png</path>"),
                                   "<project><name>a.gif</name><gif>" + kGif + "</gif><image/></project>",
                                   "<project><name>a.gif</name><gif>" + kGif + "</gif></project>",
                                   "<project><name/><images/><gif>" + kGif + "</gif></project>",
                                   "<project><gif>" + kGif + "</gif><name/><images/></project>",
                                   "<project>stray text<name/><gif>" + kGif + "</gif><images/></project>",
                                   "<project><!-- c --><name/><gif>" + kGif + "</gif><images/></project>",
                                   "<project><name/></project>", "<project/>",
                                   "<project><name/><gif/><images/></project>"}) {
        const auto read = ReadText(text);
        EXPECT_FALSE(read.ok) << text;
        EXPECT_TRUE(read.events.empty()) << text;
    }
}

TEST(ProjectFileReader, RootMustBeTheFirstNodeAndNamedExactly) {
    const std::string body = "<project><name>a.gif</name><gif>" + kGif + "</gif><images/></project>";
    EXPECT_EQ(ReadText("<?xml version=\"1.0\"?>\n" + body).events, HeaderThen({"empty"}));
    for (const std::string& text : std::vector<std::string>{"<!-- saved by hand -->\n" + body, "<?xml version=\"1.0\"?><?style x?>" + body,
                                   "<Project><name>a.gif</name><gif>" + kGif + "</gif><images/></Project>",
                                   "<projects><name>a.gif</name><gif>" + kGif + "</gif><images/></projects>"}) {
        const auto read = ReadText(text);
        EXPECT_FALSE(read.ok) << text;
        EXPECT_TRUE(read.events.empty()) << text;
    }
}

TEST(ProjectFileReader, PathRunEndsAtTheFirstNodeThatIsNotAPath) {
    auto read = ReadText(Project(kGif, "<path>/a.png</path><path>/b.png</path><!-- gap --><path>/c.png</path>"));
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.events, HeaderThen({"path /a.png", "path /b.png"}));
    read = ReadText(Project(kGif, "<path>/a.png</path><paths>/b.png</paths><path>/c.png</path>"));
    EXPECT_EQ(read.events, HeaderThen({"path /a.png"}));
    read = ReadText(Project(kGif, "<path>/a.png</path>text<path>/c.png</path>"));
    EXPECT_EQ(read.events, HeaderThen({"path /a.png"}));
    // A first child that is not a path: the list is not empty, so no notice, and no frames.
    read = ReadText(Project(kGif, "<!-- none yet -->"));
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.events, kHeader);
    // Whitespace alone is no child.
    read = ReadText(Project(kGif, "\n    \n  "));
    EXPECT_EQ(read.events, HeaderThen({"empty"}));
}

TEST(ProjectFileReader, ExtrasAreIgnoredAndTextIsTheFirstTextChild) {
    const auto read = ReadText(
        "<project version=\"9\"><name lang=\"en\"><![CDATA[a<b>.gif]]>tail</name>"
        "<gif><width><b>bold</b>12<i/>34</width><height unit=\"px\">480</height><delay_time>10</delay_time>"
        "<loop>3</loop></gif>"
        "<images><path>/a.png</path><path><!-- c -->/b.png</path><path></path><note/></images>"
        "<author>x</author></project>");
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.events, (std::vector<std::string>{"width 12", "height 480", "name a<b>.gif", "delay 10",
                                                     "path /a.png", "path /b.png", "path "}));
}

TEST(ProjectFileReader, UnreadableFilesDeliverNothing) {
    const wxString missing = Scratch("missing.xml");
    EXPECT_FALSE(ReadFile(missing).ok);
    EXPECT_TRUE(ReadFile(missing).events.empty());
    EXPECT_TRUE(ReadFile(Scratch("")).events.empty());  // the folder itself
    for (const std::string& text :
         std::vector<std::string>{"", "not xml at all", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
          "<project><name>a.gif</name><gif>" + kGif + "</gif><images><path>/a.png</path>",
          "<project><name>a.gif</name><gif>" + kGif + "</gif><images/></project><second/>",
          "<?xml version=\"1.0\"?>"}) {
        const auto read = ReadText(text);
        EXPECT_FALSE(read.ok) << text;
        EXPECT_TRUE(read.events.empty()) << text;
    }
}

TEST(ProjectFileSave, ReplacesAnExistingFileAndKeepsItsPermissions) {
    const wxString folder = Scratch("work");
    ASSERT_TRUE(wxMkdir(folder));
    const wxString path = folder + "/p.xml";
    WriteBytes(path, "old contents");
    ASSERT_EQ(chmod(path.fn_str(), 0640), 0);
    project_file::ProjectContents contents;
    contents.width = 77;
    ASSERT_TRUE(project_file::Save(path, contents).ok);
    EXPECT_NE(ReadBytes(path).find("<width>77</width>"), std::string::npos);
    struct stat status {};
    ASSERT_EQ(stat(path.fn_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(FilesIn(folder), std::vector<wxString>{path});  // no temporary left behind
}

TEST(ProjectFileSave, ThroughALinkTheLinkedFileIsReplaced) {
    const wxString folder = Scratch("work");
    ASSERT_TRUE(wxMkdir(folder));
    const wxString real = folder + "/real.xml", link = folder + "/link.xml";
    WriteBytes(real, "old");
    ASSERT_EQ(symlink(real.fn_str(), link.fn_str()), 0);
    ASSERT_TRUE(project_file::Save(link, {}).ok);
    struct stat status {};
    ASSERT_EQ(lstat(link.fn_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_NE(ReadBytes(real).find("<project>"), std::string::npos);
}

TEST(ProjectFileSave, FailuresAreReportedAndLeaveExistingFilesUntouched) {
    const wxString folder = Scratch("work");
    ASSERT_TRUE(wxMkdir(folder));
    const wxString readOnly = folder + "/locked.xml";
    WriteBytes(readOnly, "precious");
    ASSERT_EQ(chmod(readOnly.fn_str(), 0444), 0);
    const wxString plainFile = folder + "/plain.txt";
    WriteBytes(plainFile, "x");

    for (const wxString& target : {readOnly, folder + "/no such folder/p.xml", plainFile + "/p.xml",
                                   wxString("/proc/quintrel-project.xml"), folder, wxString()}) {
        const project_file::SaveResult saved = project_file::Save(target, {});
        EXPECT_FALSE(saved.ok) << target;
        EXPECT_FALSE(saved.reason.empty()) << target;
    }
    EXPECT_EQ(project_file::Save(readOnly, {}).reason, "\"" + readOnly + "\" is read-only.");
    EXPECT_NE(project_file::Save(folder + "/no such folder/p.xml", {}).reason.find("No such file or directory"),
              wxString::npos);
    EXPECT_EQ(ReadBytes(readOnly), "precious");
    EXPECT_EQ(FilesIn(folder), (std::vector<wxString>{readOnly, plainFile}));
}

TEST(ProjectFileSave, AWriteThatRunsOutOfSpaceKeepsTheOldFile) {
    const wxString folder = Scratch("work");
    ASSERT_TRUE(wxMkdir(folder));
    const wxString path = folder + "/p.xml";
    WriteBytes(path, "the earlier project");
    project_file::ProjectContents contents;
    contents.imagePaths.assign(1000, "/a/rather/long/folder/name/for/every/frame.png");

    // A file size limit makes write() fail part-way as a full disk does; each test runs in its own process.
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, RLIM_INFINITY};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const project_file::SaveResult saved = project_file::Save(path, contents);
    EXPECT_FALSE(saved.ok);
    EXPECT_TRUE(saved.reason.StartsWith("Cannot write \"" + path + "\"")) << saved.reason;
    EXPECT_EQ(ReadBytes(path), "the earlier project");
    EXPECT_EQ(FilesIn(folder), std::vector<wxString>{path});
}
