// The project reader against hostile files: nesting, size, entities, values out of range and GIF names
// that lead out of the project's folder.
#include "project/project_file.h"
#include "tests/support/isolated_home.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

project_file::ReadResult ReadText(const std::string& text) {
    return project_file::ReadBytes(text.data(), text.size(), "p.xml");
}

std::string Project(const std::string& name, const std::string& width, const std::string& height,
                    const std::string& delay, const std::string& images = "<path>/a.png</path>") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<project><name>" + name + "</name><gif><width>" + width +
           "</width><height>" + height + "</height><delay_time>" + delay + "</delay_time></gif><images>" + images +
           "</images></project>\n";
}

std::string Repeat(const std::string& piece, size_t times) {
    std::string all;
    all.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        all += piece;
    return all;
}

// `levels` elements nested inside <name>, which ignores what it holds.
std::string NestedInName(size_t levels) {
    return Project("a.gif" + Repeat("<x>", levels) + Repeat("</x>", levels), "1", "1", "0");
}

}  // namespace

TEST(ProjectReaderNesting, DeepDocumentsAreRefusedWithoutOverflowingTheStack) {
    const struct {
        size_t levels;
        bool ok;
    } cases[] = {{0, true}, {6, true}, {7, false}, {50000, false}, {150000, false}};
    for (const auto& c : cases) {
        const project_file::ReadResult read = ReadText(NestedInName(c.levels));
        EXPECT_EQ(read.ok, c.ok) << c.levels << ": " << read.reason;
        if (!c.ok) {
            EXPECT_TRUE(read.reason.Contains("nested deeper")) << read.reason;
        }
    }
    // Unclosed nesting of the same depth, as a truncated file has.
    const project_file::ReadResult read = ReadText("<project><name>" + Repeat("<x>", 150000));
    EXPECT_FALSE(read.ok);
    EXPECT_TRUE(read.reason.Contains("nested deeper")) << read.reason;
}

TEST(ProjectReaderSize, LargeValuesAreReadWhole) {
    // The shapes that made the tree reader slow: many newlines, many references, a huge attribute,
    // a huge text, many paths.
    const std::string newlines = Repeat("\n", 400000);
    const std::string ampersands = Repeat("&amp;", 400000);
    std::string attribute = Project("a.gif", "1", "1", "0");
    attribute.replace(attribute.find("<project>"), 9, "<project note=\"" + std::string(4 << 20, 'a') + "\">");
    const struct {
        std::string text;
        size_t nameLength;
        size_t pathCount;
    } cases[] = {
        {Project("a" + newlines + "b", "1", "1", "0"), 400002, 1},
        {Project(ampersands, "1", "1", "0"), 400000, 1},
        {attribute, 5, 1},
        {Project(std::string(8 << 20, 'n'), "1", "1", "0"), size_t(8) << 20, 1},
        {Project("a.gif", "1", "1", "0", Repeat("<path>/frames/0001.png</path>\n", 200000)), 5, 200000},
    };
    for (const auto& c : cases) {
        const project_file::ReadResult read = ReadText(c.text);
        ASSERT_TRUE(read.ok) << read.reason;
        EXPECT_EQ(read.contents.gifPath.length(), c.nameLength);
        EXPECT_EQ(read.contents.imagePaths.size(), c.pathCount);
    }
    EXPECT_EQ(ReadText(Project(ampersands, "1", "1", "0")).contents.gifPath, wxString('&', 400000));
}

TEST(ProjectReaderEntities, DeclarationsAndReferencesToThemAreRefused) {
    const std::string body = "<project><name>&e;</name><gif><width>1</width><height>1</height>"
                             "<delay_time>0</delay_time></gif><images/></project>";
    const std::string laughs = "<!DOCTYPE project [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;\">"
                               "<!ENTITY e \"&b;&b;&b;&b;&b;&b;&b;&b;\">]>" + body;
    const std::vector<std::string> refused = {
        "<!DOCTYPE project [<!ENTITY e \"x\">]>" + body,
        "<!DOCTYPE project [<!ENTITY e SYSTEM \"/etc/passwd\">]>" + body,
        "<!DOCTYPE project [<!ENTITY % p SYSTEM \"/etc/passwd\"> %p;]>" + body,
        "<!DOCTYPE project SYSTEM \"/etc/passwd\">" + body,
        laughs,
        body,  // an entity nobody declared
    };
    for (const std::string& text : refused) {
        const project_file::ReadResult read = ReadText(text);
        EXPECT_FALSE(read.ok) << text;
        EXPECT_FALSE(read.reason.empty()) << text;
        EXPECT_TRUE(read.contents.gifPath.empty()) << text;
    }
    // A document type alone, and the five predefined and the numeric references, are plain XML.
    const project_file::ReadResult read =
        ReadText("<!DOCTYPE project>" + Project("&amp;&lt;&gt;&quot;&apos;&#65;&#x42;.gif", "1", "1", "0").substr(39));
    ASSERT_TRUE(read.ok) << read.reason;
    EXPECT_EQ(read.contents.gifPath, "&<>\"'AB.gif");
}

TEST(ProjectReaderValues, OutsideTheControlsRangesAreRefusedNamingElementAndValue) {
    const struct {
        const char* width;
        const char* height;
        const char* delay;
        const char* says;  // empty: accepted
    } cases[] = {
        {"1", "1", "0", ""},
        {"65535", "65535", "65535", ""},
        {" 640 ", "480px", "\n10", ""},
        {"640", "480", "-5", "<delay_time> is \"-5\", outside 0 to 65535"},
        {"640", "480", "70000", "<delay_time> is \"70000\""},
        {"640", "480", "214748365", "<delay_time> is \"214748365\""},
        {"640", "480", "99999999999999999999", "<delay_time> is \"99999999999999999999\""},
        {"0", "480", "10", "<width> is \"0\", outside 1 to 65535"},
        {"214748365", "480", "10", "<width> is \"214748365\""},
        {"30000", "65536", "10", "<height> is \"65536\""},
        {"abc", "480", "10", "<width> is \"abc\""},
        {"640", "", "10", "<height> is \"\""},
    };
    for (const auto& c : cases) {
        const project_file::ReadResult read = ReadText(Project("a.gif", c.width, c.height, c.delay));
        const std::string says = c.says;
        EXPECT_EQ(read.ok, says.empty()) << c.width << " " << c.height << " " << c.delay;
        if (!says.empty()) {
            EXPECT_TRUE(read.reason.Contains(wxString::FromUTF8(says))) << read.reason;
        }
    }
    const project_file::ReadResult read = ReadText(Project("a.gif", " 640 ", "480px", "\n10"));
    EXPECT_EQ(read.contents.width, 640);
    EXPECT_EQ(read.contents.height, 480);
    EXPECT_EQ(read.contents.delay, 10);
}

TEST(ProjectReaderValues, AGifNameWithFolderPartsIsRefused) {
    const struct {
        const char* name;
        bool ok;
    } cases[] = {
        {"a.gif", true}, {"", true}, {"..", true}, {"a b\\c.gif", true},
        {"../../../out/traversal", false}, {"/tmp/x.gif", false}, {"sub/x.gif", false}, {"x.gif/", false},
    };
    for (const auto& c : cases) {
        const project_file::ReadResult read = ReadText(Project(c.name, "1", "1", "0"));
        EXPECT_EQ(read.ok, c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(read.contents.gifPath, wxString::FromUTF8(c.name));
        } else {
            EXPECT_TRUE(read.reason.Contains("contains a folder")) << read.reason;
        }
    }
}

TEST(ProjectReaderFiles, WhatIsNoFileIsRefusedWithAReason) {
    const std::string fifo = IsolatedHomeListener::CurrentHome() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);  // opened blocking, it would wait for a writer for ever
    const struct {
        std::string path;
        const char* says;
    } cases[] = {
        {"/nonexistent/p.xml", "cannot be read"},
        {"/tmp", "is a folder"},
        {"/dev/null", "is not a file"},
        {fifo, "is not a file"},
    };
    for (const auto& c : cases) {
        const project_file::ReadResult read = project_file::Read(wxString::FromUTF8(c.path));
        EXPECT_FALSE(read.ok) << c.path;
        EXPECT_TRUE(read.reason.Contains(c.says)) << read.reason;
    }
    const std::string tooLarge = "<project/>";
    EXPECT_TRUE(project_file::ReadBytes(tooLarge.data(), size_t(1) << 30, "big.xml").reason.Contains("too large"));
}
