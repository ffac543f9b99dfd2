#pragma once
// One answer text parsed into a libxml2 tree, with the safety limits an answer from a handler
// program needs: no network, no external entities or DTDs, and a bound on entity expansion so
// that a small text cannot make the parser or the text readers do exponential work.

#include <libxml/tree.h>

#include <cstddef>
#include <string>

namespace Dbscout {

class XmlDocument
{
public:
    // Throws "Error initialisation MSXML" where no parser context can be made.
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Parses text (UTF-8, NUL-terminated) once. Throws CXMLException: "Error parsing XML" for a
    // null or empty text or a parser that failed without details, else the parser's first error
    // as "0x<code> Line : <line> Char : <column> <reason>".
    void load(const char* text);

    // The document element, or null before a successful load.
    xmlNode* root() const;

    // Appends the character data of first, its following siblings and all their descendants
    // (entity references expanded) to out. Returns false where that would exceed the document's
    // expansion budget; out is then incomplete.
    bool appendText(const xmlNode* first, std::string& out);

private:
    xmlParserCtxt* m_context = nullptr;
    xmlDoc* m_doc = nullptr;
    size_t m_budget = 0;
};

} // namespace Dbscout
