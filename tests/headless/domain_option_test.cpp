#include "app/domain_option.h"
#include "tests/support/isolated_home.h"

#include <wx/ffile.h>

#include <gtest/gtest.h>

namespace {

wxString WriteOptions(const std::string& text) {
    const wxString path = wxString(IsolatedHomeListener::CurrentHome()) + "/option.cfg";
    wxFFile file(path, "wb");
    file.Write(text.data(), text.size());
    return path;
}

std::string Entries(int count) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<options>\n  <domain>\n";
    for (int i = 1; i <= count; ++i)
        xml += "    <e" + std::to_string(i) + ">http://example.com/" + std::to_string(i) + "</e" +
               std::to_string(i) + ">\n";
    return xml + "  </domain>\n</options>\n";
}

}  // namespace

TEST(DomainOption, SevenEntriesFillEveryFieldByPosition) {
    DomainOption option(WriteOptions(Entries(9)));
    EXPECT_TRUE(option.HelpPage().empty());
    ASSERT_TRUE(option.Read());
    EXPECT_EQ(option.HelpPage(), "http://example.com/1");
    EXPECT_EQ(option.SecondEntry(), "http://example.com/2");
    EXPECT_EQ(option.SupportPage(), "http://example.com/3");
    EXPECT_EQ(option.FourthEntry(), "http://example.com/4");
    EXPECT_EQ(option.UpdateDocument(), "http://example.com/5-update.xml");
    EXPECT_EQ(option.ProductPage(), "http://example.com/6");
    EXPECT_EQ(option.SeventhEntry(), "http://example.com/7");
}

TEST(DomainOption, ShortFilesKeepWhatWasReadAndReportFailure) {
    DomainOption six(WriteOptions(Entries(6)));
    EXPECT_FALSE(six.Read());
    EXPECT_EQ(six.ProductPage(), "http://example.com/6");
    EXPECT_EQ(six.UpdateDocument(), "http://example.com/5-update.xml");
    EXPECT_TRUE(six.SeventhEntry().empty());

    DomainOption four(WriteOptions(Entries(4)));
    EXPECT_FALSE(four.Read());
    EXPECT_EQ(four.FourthEntry(), "http://example.com/4");
    EXPECT_TRUE(four.UpdateDocument().empty());
    EXPECT_TRUE(four.ProductPage().empty());
}

TEST(DomainOption, NamesCommentsCdataAndEmptyEntries) {
    DomainOption option(WriteOptions(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a><!-- addresses --><b><x>h</x><!-- skip --><y/>"
        "<z><![CDATA[s&p]]></z><w>4</w><v>u</v><q>p</q><r>7</r></b></a>"));
    ASSERT_TRUE(option.Read());
    EXPECT_EQ(option.HelpPage(), "h");
    EXPECT_EQ(option.SecondEntry(), "");
    EXPECT_EQ(option.SupportPage(), "s&p");
    EXPECT_EQ(option.UpdateDocument(), "u-update.xml");
    EXPECT_EQ(option.SeventhEntry(), "7");
}

TEST(DomainOption, MissingMalformedAndEmptyFilesLeaveEverythingEmpty) {
    for (const std::string& text : {std::string(), std::string("not xml at all"), std::string("<a>"),
                                    std::string("<?xml version=\"1.0\"?><a/>"), std::string("\xff\xfe\x00<")}) {
        DomainOption option(WriteOptions(text));
        EXPECT_FALSE(option.Read()) << text;
        EXPECT_TRUE(option.HelpPage().empty());
        EXPECT_TRUE(option.UpdateDocument().empty());
    }
    DomainOption missing(wxString(IsolatedHomeListener::CurrentHome()) + "/nowhere/option.cfg");
    EXPECT_FALSE(missing.Read());
    EXPECT_EQ(missing.OptionsPath(), wxString(IsolatedHomeListener::CurrentHome()) + "/nowhere/option.cfg");
}

TEST(DomainOption, ShippedOptionsFileIsComplete) {
    DomainOption option(wxString(QUINTREL_SOURCE_DIR) + "/resources/option.cfg");
    ASSERT_TRUE(option.Read());
    EXPECT_TRUE(option.HelpPage().StartsWith("http://www.example.com/"));
    EXPECT_TRUE(option.UpdateDocument().EndsWith("-update.xml"));
    EXPECT_FALSE(option.ProductPage().empty());
}
