#pragma once
// What the tree reading (XmlDocument) and the one-pass reading (streamXml) of an answer share:
// the parser options, a parser context, and feeding a text in memory to the parser.

#include <libxml/parser.h>

#include <cstddef>

namespace Dbscout {

// No network, no DTD loading, no entity substitution (which would also pull in external
// entities); no size limits, since a listing may be tens of megabytes in one text node. The
// answer is already in the system's encoding whatever its declaration says.
constexpr int kAnswerParseOptions = XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_IGNORE_ENC |
                                    XML_PARSE_COMPACT | XML_PARSE_BIG_LINES;

// A new parser context, with libxml2 initialised once per process. Throws "Error initialisation
// MSXML" where none can be made. Free it with xmlFreeParserCtxt.
xmlParserCtxt* newAnswerParserContext();

// The unread rest of a text, handed to the parser in the pieces it asks for (xmlCtxtReadIO), so
// that the text is never copied whole.
struct XmlTextInput
{
    const char* next = nullptr;
    size_t left = 0;

    static int read(void* input, char* buffer, int length);
};

} // namespace Dbscout
