// XML from outside that the toolkit's recursive tree reads (the options file, the update reply) is
// measured first, so deep nesting is refused instead of overflowing the stack.
#include "app/domain_option.h"
#include "app/update_check.h"
#include "tests/support/isolated_home.h"

#include <wx/ffile.h>
#include <wx/mstream.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Nested(size_t levels, bool closed) {
    std::string text;
    for (size_t i = 0; i < levels; ++i)
        text += "<a>";
    if (closed)
        for (size_t i = 0; i < levels; ++i)
            text += "</a>";
    return text;
}

}  // namespace

TEST(XmlNesting, DeepUpdateRepliesAndOptionsFilesAreRefusedWithoutACrash) {
    for (const bool closed : {false, true}) {
        const std::string reply = "<v><p name=\"Quintrel Tavelle\" version=\"9.9\"/>" + Nested(150000, closed) +
                                  (closed ? "</v>" : "");
        wxMemoryInputStream stream(reply.data(), reply.size());
        EXPECT_EQ(ReadNewestVersion(stream), "");

        const wxString path = wxString::FromUTF8(IsolatedHomeListener::CurrentHome()) + "/option.cfg";
        const std::string options = "<options><domain><a>1</a><b>2</b><c>3</c><d>4</d><e>5</e><f>6</f><g>7</g>" +
                                    Nested(150000, closed) + (closed ? "</domain></options>" : "");
        wxFFile(path, "wb").Write(options.data(), options.size());
        DomainOption option(path);
        EXPECT_FALSE(option.Read());
    }
    // A shallow reply is still read.
    const std::string reply = "<v><p name=\"Quintrel Tavelle\" version=\"9.9\"/></v>";
    wxMemoryInputStream stream(reply.data(), reply.size());
    EXPECT_EQ(ReadNewestVersion(stream), "9.9");
}
