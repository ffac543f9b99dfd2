#pragma once
// A cursor over one parsed answer page: load the text, check the document element, then walk down
// and up with a stack of current elements. Every lookup takes a required flag: a required piece
// that is missing throws CXMLException naming it, an optional one makes the call return false.
// A reader lives for one parse on one thread and is not reused after it has thrown.

#include "document/xml_document.h"

#include <string>
#include <vector>

namespace Dbscout {

// Child elements selected by name, in document order. Filled by CXMLReader::SelectNodes; the
// nodes belong to the reader's document and are valid while the reader lives.
struct XMLNodeList
{
    std::vector<xmlNode*> list;
    bool selected = false;
    const char* name = "";
};

// Removes the white space (blank, tab, carriage return, line feed) that GetText drops at both
// ends of an element's text.
void trimElementText(std::string& text);

class CXMLReader
{
public:
    // Throws "Error initialisation MSXML" where the parser cannot be set up.
    CXMLReader();
    CXMLReader(const CXMLReader&) = delete;
    CXMLReader& operator=(const CXMLReader&) = delete;

    // Parses a NUL-terminated text in the system's 8-bit encoding (UTF-8; an encoding named in
    // the XML declaration is ignored). Throws "Error parsing XML" for a null or empty text and
    // the formatted parse error for a text that is not well-formed.
    bool LoadXML(const char* text);

    // Checks that the document element is exactly name (qualified name, case-sensitive).
    bool OpenRoot(const char* name);

    // Element names are matched against elements in no namespace only. Names are kept as
    // pointers: callers pass string constants.
    bool PushChild(const char* name, bool required);
    bool SelectNodes(XMLNodeList& out, const char* name, bool required);
    static long GetCount(const XMLNodeList& list);
    // Elements reached this way have no readable attributes.
    bool PushItem(const XMLNodeList& list, long index, bool required);
    void PopElement(const char* name);

    bool GetAttribute(const char* name, std::string& value, bool required);
    // The character data of the current element and all its descendants, with white space at
    // both ends removed.
    bool GetText(std::string& out, bool required);

private:
    struct Frame
    {
        const char* name;
        xmlNode* node;
        bool hasAttributes;
    };

    xmlNode* currentNode() const;
    const char* currentName() const;

    XmlDocument m_document;
    xmlNode* m_root = nullptr;
    const char* m_rootName = "";
    std::vector<Frame> m_stack;
};

} // namespace Dbscout
