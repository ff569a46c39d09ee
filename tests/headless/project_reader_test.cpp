// Readers of XML from outside (projects, the options file, the update reply) against hostile files:
// nesting, size, entities, values out of range and GIF names that lead out of the project's folder.
#include "app/domain_option.h"
#include "app/update_check.h"
#include "project/project_file.h"
#include "tests/support/files.h"

#include <wx/mstream.h>

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <tuple>

namespace {

project_file::ReadResult ReadText(const std::string& text) {
    return project_file::ReadBytes(text.data(), text.size(), "p.xml");
}

std::string Project(const std::string& name, const std::string& width = "1", const std::string& height = "1",
                    const std::string& delay = "0", const std::string& images = "<path>/a.png</path>") {
    return "<project><name>" + name + "</name><gif><width>" + width + "</width><height>" + height +
           "</height><delay_time>" + delay + "</delay_time></gif><images>" + images + "</images></project>";
}

std::string Repeat(const std::string& piece, size_t times) {
    std::string all;
    for (size_t i = 0; i < times; ++i)
        all += piece;
    return all;
}

}  // namespace

TEST(ProjectReader, DeepNestingIsRefusedWithoutOverflowingTheStack) {
    // <name> ignores what it holds; the last document is unclosed, as a truncated file is.
    const struct {
        std::string text;
        bool ok;
    } cases[] = {{Project("a.gif"), true},
                 {Project(Repeat("<x>", 6) + Repeat("</x>", 6)), true},
                 {Project(Repeat("<x>", 7) + Repeat("</x>", 7)), false},
                 {Project(Repeat("<x>", 150000) + Repeat("</x>", 150000)), false},
                 {"<project><name>" + Repeat("<x>", 150000), false}};
    for (const auto& c : cases) {
        const project_file::ReadResult read = ReadText(c.text);
        EXPECT_EQ(read.ok, c.ok) << c.text.size() << ": " << read.reason;
        EXPECT_EQ(read.reason.Contains("nested deeper"), !c.ok) << read.reason;
    }
}

TEST(ProjectReader, LargeValuesAreReadWhole) {
    std::string attribute = Project("a.gif");
    attribute.insert(8, " note=\"" + std::string(4 << 20, 'a') + "\"");
    const struct {
        std::string text;
        wxString name;
        size_t paths;
    } cases[] = {
        {Project("a" + Repeat("\n", 400000) + "b"), "a" + wxString('\n', 400000) + "b", 1},
        {Project(Repeat("&amp;", 400000)), wxString('&', 400000), 1},
        {attribute, "a.gif", 1},
        {Project("a.gif", "1", "1", "0", Repeat("<path>/frames/0001.png</path>\n", 200000)), "a.gif", 200000},
    };
    for (const auto& c : cases) {
        const project_file::ReadResult read = ReadText(c.text);
        ASSERT_TRUE(read.ok) << read.reason;
        EXPECT_TRUE(read.contents.gifPath == c.name);
        EXPECT_EQ(read.contents.imagePaths.size(), c.paths);
    }
}

TEST(ProjectReader, EntityDeclarationsAndReferencesToThemAreRefused) {
    const std::string body = Project("&e;");
    for (const std::string& text : {"<!DOCTYPE project [<!ENTITY e \"x\">]>" + body,
                                    "<!DOCTYPE project [<!ENTITY e SYSTEM \"/etc/passwd\">]>" + body,
                                    "<!DOCTYPE project [<!ENTITY % p SYSTEM \"/etc/passwd\"> %p;]>" + body,
                                    "<!DOCTYPE project SYSTEM \"/etc/passwd\">" + body,
                                    "<!DOCTYPE project [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY e \"&a;&a;&a;&a;\">]>" + body,
                                    body}) {
        const project_file::ReadResult read = ReadText(text);
        EXPECT_FALSE(read.ok) << text;
        EXPECT_FALSE(read.reason.empty()) << text;
    }
    // A document type alone, and the predefined and numeric references, are plain XML.
    const project_file::ReadResult read = ReadText("<!DOCTYPE project>" + Project("&amp;&lt;&gt;&quot;&apos;&#65;&#x42;"));
    ASSERT_TRUE(read.ok) << read.reason;
    EXPECT_EQ(read.contents.gifPath, "&<>\"'AB");
}

TEST(ProjectReader, ValuesOutsideTheControlsAreRefusedNamingElementAndValue) {
    const struct {
        std::string element, value, range;
    } cases[] = {{"delay_time", "-5", "0"}, {"delay_time", "70000", "0"}, {"delay_time", "214748365", "0"},
                 {"delay_time", "99999999999999999999", "0"}, {"width", "0", "1"}, {"width", "214748365", "1"},
                 {"height", "65536", "1"}, {"width", "abc", "1"}, {"height", "", "1"}};
    for (const auto& c : cases) {
        std::string text = Project("a.gif", "1", "1", "1");  // each value one digit, replaced
        text.replace(text.find("<" + c.element + ">") + c.element.size() + 2, 1, c.value);
        const wxString says = "<" + c.element + "> is \"" + c.value + "\", outside " + c.range + " to 65535";
        EXPECT_TRUE(ReadText(text).reason.Contains(says)) << says << " but " << ReadText(text).reason;
    }
    const project_file::ReadResult read = ReadText(Project("a.gif", " 640 ", "480px", "\n65535"));
    EXPECT_EQ(std::make_tuple(read.contents.width, read.contents.height, read.contents.delay), std::make_tuple(640, 480, 65535));
    EXPECT_TRUE(ReadText(Project("a.gif", "65535", "65535", "0")).ok);
}

TEST(ProjectReader, AGifNameWithFolderPartsIsRefused) {
    for (const char* name : {"a.gif", "", "..", "a b\\c.gif"}) {
        const project_file::ReadResult read = ReadText(Project(name));
        EXPECT_TRUE(read.ok && read.contents.gifPath == name) << name << ": " << read.reason;
    }
    for (const char* name : {"../../../out/traversal", "/tmp/x.gif", "sub/x.gif", "x.gif/"})
        EXPECT_TRUE(ReadText(Project(name)).reason.Contains("contains a folder")) << name;
}

TEST(ProjectReader, WhatIsNoFileIsRefusedWithAReason) {
    const wxString fifo = test_files::Scratch("fifo");
    ASSERT_EQ(mkfifo(fifo.fn_str(), 0600), 0);  // opened blocking, it would wait for a writer for ever
    for (const auto& [path, says] : {std::pair<wxString, const char*>{"/nonexistent/p.xml", "cannot be read"},
                                     {"/tmp", "is a folder"}, {"/dev/null", "is not a file"}, {fifo, "is not a file"}})
        EXPECT_TRUE(project_file::Read(path).reason.Contains(says)) << path;
    EXPECT_TRUE(project_file::ReadBytes("<project/>", size_t(1) << 30, "big.xml").reason.Contains("too large"));
}

TEST(XmlNesting, DeepUpdateRepliesAndOptionsFilesAreRefusedWithoutACrash) {
    for (const bool closed : {false, true}) {
        const std::string nested = Repeat("<a>", 150000) + (closed ? Repeat("</a>", 150000) : "");
        const std::string reply = "<v><p name=\"Quintrel Tavelle\" version=\"9.9\"/>" + nested + (closed ? "</v>" : "");
        wxMemoryInputStream stream(reply.data(), reply.size());
        EXPECT_EQ(ReadNewestVersion(stream), "");
        test_files::Write(test_files::Scratch("option.cfg"), "<options><domain><a>1</a><b>2</b><c>3</c><d>4</d><e>5</e>"
                                                             "<f>6</f><g>7</g>" + nested + (closed ? "</domain></options>" : ""));
        EXPECT_FALSE(DomainOption(test_files::Scratch("option.cfg")).Read());
    }
    const std::string reply = "<v><p name=\"Quintrel Tavelle\" version=\"9.9\"/></v>";
    wxMemoryInputStream stream(reply.data(), reply.size());
    EXPECT_EQ(ReadNewestVersion(stream), "9.9");
}
