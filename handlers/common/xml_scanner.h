#pragma once
// A small checking scanner for XML answers and record files (NCBI's answers, BLAST output). It
// reads elements and their text and refuses what is not well-formed; it does not read DTDs or
// namespaces. Handlers use it instead of a full XML library, which would double the start-up time
// of every request.

#include "status.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace Dbscout::Handlers {

// An element as it ends: its name, its own text (entities decoded, child elements' text
// excluded), its attributes as written in its start tag, and its depth (the root has depth 0).
struct XmlElement
{
    std::string_view name;
    const std::string& text;
    std::string_view attributes;
    size_t depth;

    // The value of the attribute name, entities decoded; nothing when it is absent or malformed.
    std::optional<std::string> attribute(std::string_view name) const;
};
using XmlElementDone = std::function<void(const XmlElement& element)>;

// Called when an element ends, with its name, its own text (entities decoded, child elements'
// text excluded) and its depth (the root element has depth 0).
using XmlElementEnd =
    std::function<void(std::string_view name, const std::string& text, size_t depth)>;

// Scans a whole document. Fails with BadRequest and the line of the first fault.
Status scanXml(std::string_view document, const XmlElementEnd& onEnd, std::string& rootName);
Status scanXmlElements(std::string_view document, const XmlElementDone& onEnd,
                       std::string& rootName);

} // namespace Dbscout::Handlers
