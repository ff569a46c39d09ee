#include "app/xml_nesting.h"

#include <expat.h>

#include <climits>
#include <memory>

namespace xml_nesting {
namespace {

struct Depth {
    XML_Parser parser;
    size_t current = 0;
    size_t deepest;
    bool exceeded = false;
};

void XMLCALL OnStart(void* data, const XML_Char*, const XML_Char**) {
    auto* depth = static_cast<Depth*>(data);
    if (++depth->current > depth->deepest && !depth->exceeded) {
        depth->exceeded = true;
        XML_StopParser(depth->parser, XML_FALSE);
    }
}

void XMLCALL OnEnd(void* data, const XML_Char*) { --static_cast<Depth*>(data)->current; }

struct ParserDeleter {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

}  // namespace

bool NestedAtMost(const char* bytes, size_t size, size_t deepest) {
    std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate(nullptr));
    if (!parser)
        return false;
    Depth depth{parser.get(), 0, deepest};
    XML_SetUserData(parser.get(), &depth);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    // Fed in pieces that fit the parser's int length; a malformed document simply stops early.
    while (size > 0 && !depth.exceeded) {
        const size_t piece = size < size_t(INT_MAX / 2) ? size : size_t(INT_MAX / 2);
        if (XML_Parse(parser.get(), bytes, static_cast<int>(piece), piece == size) != XML_STATUS_OK)
            break;
        bytes += piece;
        size -= piece;
    }
    return !depth.exceeded;
}

}  // namespace xml_nesting
