#pragma once
// One answer text read in a single pass through libxml2's SAX2 parser, with the parse options of
// XmlDocument but without building a tree. It takes only the plain form that handlers send: no
// document type declaration, no entity beyond the predefined ones and character references, no
// namespaces. Anything else, any parser error or warning, and any refusal by the handler ends the
// pass early with false; the caller then reads the text through XmlDocument, which gives the
// exact message of a malformed page and handles every unusual form.

#include <string>
#include <string_view>

namespace Dbscout {

// The attributes of one start tag, valid during the startElement call only.
class XmlStreamAttributes
{
public:
    XmlStreamAttributes(const unsigned char** data, int count) : m_data(data), m_count(count) {}

    // Looks up an attribute without a prefix by name and gives its value as the tree would.
    // Returns false where the tag has no such attribute.
    bool find(std::string_view name, std::string& value) const;

private:
    const unsigned char** m_data;
    int m_count;
};

class XmlStreamHandler
{
public:
    virtual ~XmlStreamHandler() = default;

    // Return false to refuse the text and end the pass.
    virtual bool startElement(std::string_view name, const XmlStreamAttributes& attributes) = 0;
    virtual bool endElement() = 0;
    // Character data in document order (text, predefined entities, character references,
    // CDATA sections), in pieces of any size.
    virtual void characters(std::string_view text) = 0;
};

// Passes text (UTF-8, NUL-terminated) through handler. Returns true only where the whole text is
// well-formed, in the plain form, and the handler refused nothing; a null or empty text gives
// false. Throws "Error initialisation MSXML" where no parser context can be made, and passes on
// what the handler throws once the parser is released.
bool streamXml(const char* text, XmlStreamHandler& handler);

} // namespace Dbscout
