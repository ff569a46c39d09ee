// The project file: the exact document written, values read back in the file's order, files from outside
// refused whole with a reason (misshapen, out of range, nested, entities, huge, no file at all), and saves
// that fail without harming the earlier file.
#include "project/project_file.h"

#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using test_files::Repeat;
using test_files::Scratch;

project_file::ReadResult ReadText(const std::string& text) {
    return project_file::ReadBytes(text.data(), text.size(), "p.xml");
}

// A read as one line, "width x height delay name: paths", ending in "empty" for an empty list.
std::string Summary(const project_file::ReadResult& read) {
    if (!read.ok)
        return "refused: " + read.reason.utf8_string();
    const project_file::ProjectContents& c = read.contents;
    std::string summary = wxString::Format("%dx%d %d %s:", c.width, c.height, c.delay, c.gifPath).utf8_string();
    for (const wxString& path : c.imagePaths)
        summary += " " + path.utf8_string();
    return read.listsNoImage ? summary + " empty" : summary;
}

std::string Gif(const std::string& width, const std::string& height, const std::string& delay) {
    return "<width>" + width + "</width><height>" + height + "</height><delay_time>" + delay + "</delay_time>";
}

const std::string kGif = Gif("640", "480", "10");

std::string Project(const std::string& gif = kGif, const std::string& images = "<path>/a.png</path>",
                    const std::string& name = "a.gif") {
    return "<project><name>" + name + "</name><gif>" + gif + "</gif><images>" + images + "</images></project>";
}

}  // namespace

// A save that fails part-way is the same replacing file as the GIF export's, tested there; here the ones
// refused before writing say why and leave the earlier file.
TEST(ProjectFile, WritesTheDocumentOverTheEarlierKeepingItsPermissionsReadsItBackInOrderAndFailedSavesChangeNothing) {
    const project_file::ProjectContents contents{wxString::FromUTF8("/home/ann/out/Ünïcode 動画.gif"), 640, 480, 7, 0,
                                                 {"/p/b.png", wxString::FromUTF8("/p/ü/写真.bmp"), "/p/a & <c>.png", "/p/b.png"}};
    const wxString folder = Scratch(wxString::FromUTF8("プロジェクト")), path = folder + wxString::FromUTF8("/ø.xml");
    ASSERT_TRUE(wxMkdir(folder));
    test_files::Write(path, "earlier");  // replaced, keeping its permissions
    ASSERT_TRUE(chmod(path.fn_str(), 0640) == 0 && project_file::Save(path, contents).ok);
    struct stat status {};
    EXPECT_TRUE(stat(path.fn_str(), &status) == 0 && (status.st_mode & 0777) == 0640) << std::oct << status.st_mode;
    EXPECT_EQ(test_files::Read(path),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<project>\n  <name>Ünïcode 動画.gif</name>\n  <gif>\n"
              "    <width>640</width>\n    <height>480</height>\n    <delay_time>7</delay_time>\n  </gif>\n"
              "  <images>\n    <path>/p/b.png</path>\n    <path>/p/ü/写真.bmp</path>\n"
              "    <path>/p/a &amp; &lt;c&gt;.png</path>\n    <path>/p/b.png</path>\n  </images>\n</project>\n");
    ASSERT_EQ(chmod(path.fn_str(), 0444), 0);
    for (const auto& [target, says] : {std::pair<wxString, wxString>{path, "\"" + path + "\" is read-only."},
                                       {folder, "is a folder"}, {"", "No file name"}}) {
        const project_file::SaveResult saved = project_file::Save(target, {});
        EXPECT_TRUE(!saved.ok && saved.reason.Contains(says)) << target << ": " << saved.reason;
    }
    EXPECT_EQ(Summary(project_file::Read(path)), "640x480 7 Ünïcode 動画.gif: /p/b.png /p/ü/写真.bmp /p/a & <c>.png /p/b.png");
    EXPECT_EQ(test_files::FilesIn(folder), std::vector<wxString>{path});
}

TEST(ProjectReader, ReadsWhatIsShapedAsTheFormatSaysLargeValuesWhole) {
    const std::pair<std::string, const char*> cases[] = {
        {"<?xml version=\"1.0\"?>\n" + Project(kGif, "\n  \n"), "640x480 10 a.gif: empty"},
        {Project(Gif(" 12px", "\n\t+7 9", "abc"), ""), "12x7 0 a.gif: empty"},  // numbers as the C library reads them
        {Project(kGif, "<!-- none yet -->"), "640x480 10 a.gif:"}, {Project(Gif("65535", "65535", "0")), "65535x65535 0 a.gif: /a.png"},
        // The image list ends at the first node that is not a path.
        {Project(kGif, "<path>/a.png</path><path>/b.png</path><!-- c --><path>/c.png</path>"),
         "640x480 10 a.gif: /a.png /b.png"},
        {Project("<width><b>x</b>12</width><height u=\"px\">480</height><delay_time>10</delay_time><loop/>",
                 "<path><!-- c -->/b.png</path><path></path><path>/p/a&amp;b&lt;c>\"d'.gif</path>"),
         "12x480 10 a.gif: /b.png  /p/a&b<c>\"d'.gif"},
        // A document type alone and the predefined and numeric references are plain XML.
        {"<!DOCTYPE project>" + Project(kGif, "", "&amp;&lt;&gt;&quot;&apos;&#65;&#x42;"), "640x480 10 &<>\"'AB: empty"},
        // What <name> holds nested up to the limit.
        {Project(kGif, "", Repeat("<x>", 6) + Repeat("</x>", 6)), "640x480 10 : empty"}};
    for (const auto& [text, summary] : cases)
        EXPECT_EQ(Summary(ReadText(text)), summary) << text;
    // Compared without printing them: a failure showing megabytes of text would take minutes.
    const project_file::ReadResult paths = ReadText(Project(kGif, Repeat("<path>/f.png</path>\n", 200000)));  // 4 MB
    EXPECT_TRUE(paths.ok && paths.contents.imagePaths.size() == 200000) << paths.reason.Left(200);
    const project_file::ReadResult entities = ReadText(Project(kGif, "", Repeat("&amp;", 400000)));
    EXPECT_TRUE(entities.contents.gifPath == wxString('&', 400000));
}

TEST(ProjectReader, RefusesEverythingElseWholeSayingWhy) {
    const std::string entity = Project(kGif, "", "&e;");
    const std::pair<std::string, std::string> cases[] = {
        {Project("<width>640</width><hieght>480</hieght><delay_time>10</delay_time>"), "<height> is missing"},
        {Project("<width>640</width><height>480</height>"), "<delay_time> is missing"},
        {"<project><name>a.gif</name><gif>" + kGif + "</gif><image/></project>", "<images> is missing"},
        {"<project><!-- c --><name/><gif>" + kGif + "</gif><images/></project>", "<name> is missing"},
        {"<!-- by hand -->\n" + Project(), "<project> is missing"},
        {"<Project><name/><gif>" + kGif + "</gif><images/></Project>", "<project> is missing"},
        {Project(Gif("1", "1", "99999999999999999999")), "<delay_time> is \"99999999999999999999\", outside 0 to 65535"},
        {Project(Gif("0", "480", "10")), "<width> is \"0\", outside 1 to 65535"},
        {Project(Gif("4294967306", "480", "10")), "<width> is \"4294967306\", outside 1 to 65535"},  // not wrapped to 10
        {Project(Gif("640", "65536", "10")), "<height> is \"65536\", outside 1 to 65535"},
        {Project().substr(0, 100), "not a readable XML file"}, {"", "not a readable XML file"},
        // Nesting is refused before it can overflow the stack, also when the file is cut short.
        {Project(kGif, "", Repeat("<x>", 7) + Repeat("</x>", 7)), "nested deeper"},
        {"<project><name>" + Repeat("<x>", 150000), "nested deeper"},
        {"<!DOCTYPE project [<!ENTITY e SYSTEM \"/etc/passwd\">]>" + entity, "entities"},
        {"<!DOCTYPE project [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY e \"&a;&a;&a;&a;\">]>" + entity, "entities"},
        {"<!DOCTYPE project SYSTEM \"/etc/passwd\">" + entity, "entities"}, {entity, "undefined entity"}};
    for (const auto& [text, says] : cases) {
        const project_file::ReadResult read = ReadText(text);
        EXPECT_TRUE(!read.ok && read.reason.Contains(says)) << says << " but " << read.reason << " for " << text.substr(0, 200);
    }
    const wxString fifo = Scratch("fifo");
    ASSERT_EQ(mkfifo(fifo.fn_str(), 0600), 0);  // opened blocking, it would wait for a writer for ever
    for (const auto& [path, says] : {std::pair<wxString, const char*>{"/nonexistent/p.xml", "cannot be read"},
                                     {"/tmp", "is a folder"}, {"/dev/null", "is not a file"}, {fifo, "is not a file"}})
        EXPECT_TRUE(project_file::Read(path).reason.Contains(says)) << path;
    EXPECT_TRUE(project_file::ReadBytes("<project/>", size_t(1) << 30, "big.xml").reason.Contains("too large"));
}
