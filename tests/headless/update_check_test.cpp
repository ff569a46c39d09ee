#include "app/update_check.h"

#include <wx/mstream.h>
#include <wx/sstream.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

wxString NewestIn(const std::string& document) {
    wxMemoryInputStream stream(document.data(), document.size());
    return ReadNewestVersion(stream);
}

std::string Document(const std::string& elements) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<products>\n" + elements + "</products>\n";
}

}  // namespace

TEST(ReadNewestVersion, TakesTheAttributeAfterTheDisplayName) {
    EXPECT_EQ(NewestIn(Document("<p name=\"Quintrel Tavelle\" version=\"1.3.0\"/>\n")), "1.3.0");
    EXPECT_EQ(NewestIn(Document("<p name=\"Quintrel Tavelle\" version=\"1.2.6\"/>\n")), "1.2.6");
    EXPECT_EQ(NewestIn(Document("<p name=\"Quintrel Tavelle\" version=\"0.9\"/>\n")), "0.9");
}

TEST(ReadNewestVersion, LooksAtAttributeValuesNotAtNames) {
    // A product code before the name, names of any kind, other products around it.
    EXPECT_EQ(NewestIn(Document("<other a=\"Some Tool\" b=\"9.9\"/>\n"
                                "<item code=\"QT-7\" title=\"Quintrel Tavelle\" latest=\"2.0.1\" extra=\"x\"/>\n"
                                "<other a=\"Another\" b=\"7.0\"/>\n")),
              "2.0.1");
}

TEST(ReadNewestVersion, LastMatchingElementWins) {
    EXPECT_EQ(NewestIn(Document("<p n=\"Quintrel Tavelle\" v=\"1.4\"/>\n<p n=\"Quintrel Tavelle\" v=\"1.3\"/>\n")),
              "1.3");
}

TEST(ReadNewestVersion, WithinAnElementTheFirstMatchCounts) {
    EXPECT_EQ(NewestIn(Document("<p n=\"Quintrel Tavelle\" v=\"1.4\" m=\"Quintrel Tavelle\" w=\"1.5\"/>\n")), "1.4");
}

TEST(ReadNewestVersion, FindsNothingWhereTheProductIsNotNamedAsItIs) {
    // The display name as the last attribute has no version after it.
    EXPECT_EQ(NewestIn(Document("<p version=\"1.3.0\" name=\"Quintrel Tavelle\"/>\n")), "");
    // Compared exactly: case, blanks and the stored form with "+" all differ.
    EXPECT_EQ(NewestIn(Document("<p name=\"quintrel tavelle\" version=\"1.3.0\"/>\n")), "");
    EXPECT_EQ(NewestIn(Document("<p name=\"Quintrel Tavelle \" version=\"1.3.0\"/>\n")), "");
    EXPECT_EQ(NewestIn(Document("<p name=\"Quintrel+Tavelle\" version=\"1.3.0\"/>\n")), "");
    // Text content and grandchildren are not looked at, nor the root's own attributes.
    EXPECT_EQ(NewestIn(Document("<p>Quintrel Tavelle</p>\n<g><p name=\"Quintrel Tavelle\" v=\"1.3\"/></g>\n")), "");
    EXPECT_EQ(NewestIn("<r name=\"Quintrel Tavelle\" v=\"1.3\"><p/></r>"), "");
    // Another product only.
    EXPECT_EQ(NewestIn(Document("<p name=\"Some Tool\" version=\"4.0\"/>\n")), "");
}

TEST(ReadNewestVersion, BadInputGivesNothing) {
    EXPECT_EQ(NewestIn(""), "");
    EXPECT_EQ(NewestIn("<html><body>Not found</body>"), "");  // not well-formed
    EXPECT_EQ(NewestIn("Quintrel Tavelle 1.3.0"), "");
    EXPECT_EQ(NewestIn(std::string("\x89PNG\r\n\x1a\n\0\0\0", 11)), "");
    EXPECT_EQ(NewestIn("<?xml version=\"1.0\"?>"), "");  // no root
}

TEST(ReadNewestVersion, AStreamInErrorGivesNothing) {
    wxStringInputStream stream(Document("<p name=\"Quintrel Tavelle\" version=\"1.3.0\"/>\n"));
    char all[4096];
    stream.Read(all, sizeof all);  // reading past the end leaves the stream at EOF, not good
    ASSERT_FALSE(stream.IsOk());
    EXPECT_EQ(ReadNewestVersion(stream), "");
}

TEST(ReadNewestVersion, NonAsciiValuesAreReadAsUtf8) {
    EXPECT_EQ(NewestIn(Document("<p name=\"Quintrel Tavelle\" version=\"1.3 \xc3\x9f\"/>\n")),
              wxString::FromUTF8("1.3 \xc3\x9f"));
}

TEST(ReadNewestVersion, ManyElementsAreReadToTheEnd) {
    std::string elements;
    for (int i = 0; i < 20000; ++i)
        elements += "<p name=\"Product " + std::to_string(i) + "\" version=\"1.0\"/>\n";
    elements += "<p name=\"Quintrel Tavelle\" version=\"7.7.7\"/>\n";
    EXPECT_EQ(NewestIn(Document(elements)), "7.7.7");
}

namespace {

struct Ordered {
    const char* older;
    const char* newer;
};

}  // namespace

TEST(CompareVersions, OrdersVersionsNumerically) {
    const Ordered cases[] = {
        {"1.2.5", "1.2.6"},   {"1.2.6", "1.2.7"},     {"1.2.6", "1.3"},       {"1.2.6", "2"},
        {"1.2.9", "1.2.10"},  {"1.9", "1.10"},        {"1.2.99", "1.3.0"},    {"0.9.9", "1"},
        {"1.2", "1.2.1"},     {"1.2", "1.2.0.1"},     {"1.2.0.1", "1.2.1"},   {"9", "10"},
        {"1.239", "1.240"},   {"1.240", "1.241"},     {"1.494", "1.495"},     {"1.254", "1.255"},
        {"1.65264", "1.65265"}, {"1.99999", "1.100000"}, {"1.16581614", "1.16581615"},
        {"1.4294967294", "1.4294967295"}, {"", "0.0.1"},  {"1.2.6", "1.2.6.1"},
    };
    for (const Ordered& c : cases) {
        EXPECT_LT(CompareVersions(c.older, c.newer), 0) << c.older << " < " << c.newer;
        EXPECT_GT(CompareVersions(c.newer, c.older), 0) << c.newer << " > " << c.older;
    }
}

TEST(CompareVersions, EqualVersions) {
    const Ordered cases[] = {
        {"1.2.6", "1.2.6"}, {"1.2", "1.2.0"}, {"1.2", "1.2.0.0.0"}, {"1.02", "1.2"},
        {"", "0"},          {"0.0", ""},      {" 1.2.6 ", "1.2.6"}, {"1.2.6-beta", "1.2.6"},
        // Beyond what a 32-bit part holds the value stays at its largest.
        {"1.4294967295", "1.99999999999999999999"},
    };
    for (const Ordered& c : cases)
        EXPECT_EQ(CompareVersions(c.older, c.newer), 0) << c.older << " == " << c.newer;
}

TEST(CompareVersions, OnlyNineBytesOfKeyCount) {
    // Nine small parts fill the key; a tenth is not compared.
    EXPECT_EQ(CompareVersions("1.2.3.4.5.6.7.8.9.1", "1.2.3.4.5.6.7.8.9.2"), 0);
    EXPECT_LT(CompareVersions("1.2.3.4.5.6.7.8.8.9", "1.2.3.4.5.6.7.8.9"), 0);
    // A large part takes more room: what follows it is cut sooner.
    EXPECT_EQ(CompareVersions("4000000000.1.2.3.4.5", "4000000000.1.2.3.4.6"), 0);
    EXPECT_LT(CompareVersions("4000000000.1.2.3.4", "4000000000.1.2.3.5"), 0);
}

TEST(CompareVersions, IsAConsistentOrder) {
    const std::vector<const char*> sorted = {"", "0.1", "0.9.9", "1", "1.0.0.1", "1.2", "1.2.6", "1.2.9",
                                             "1.2.10", "1.9", "1.10", "1.239", "1.240", "1.500", "2", "10",
                                             "239", "240", "70000", "4294967295"};
    for (size_t i = 0; i < sorted.size(); ++i) {
        for (size_t j = 0; j < sorted.size(); ++j) {
            const int result = CompareVersions(sorted[i], sorted[j]);
            if (i < j)
                EXPECT_LT(result, 0) << sorted[i] << " vs " << sorted[j];
            else if (i > j)
                EXPECT_GT(result, 0) << sorted[i] << " vs " << sorted[j];
            else
                EXPECT_EQ(result, 0) << sorted[i];
        }
    }
}
