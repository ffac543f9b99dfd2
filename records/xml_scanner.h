#pragma once
// A small checking scanner for XML answers and record files (NCBI's answers, BLAST output). It
// reads elements and their text and refuses what is not well-formed; it does not read DTDs or
// namespaces. Handlers use it instead of a full XML library, which would double the start-up time
// of every request.

#include "outcome.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace Dbscout::Records {

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

// Scans a whole document, calling onEnd as each element ends. Fails at the line of the first
// fault with "malformed XML: " and what is wrong there.
Outcome scanXmlElements(std::string_view document, const XmlElementDone& onEnd,
                        std::string& rootName);

} // namespace Dbscout::Records
