#pragma once
// A small checking scanner for XML answers and record files (NCBI's answers, BLAST output). It
// reads elements and their text and refuses what is not well-formed; it does not read DTDs or
// namespaces. Handlers use it instead of a full XML library, which would double the start-up time
// of every request.

#include "status.h"

#include <functional>
#include <string>
#include <string_view>

namespace Dbscout::Handlers {

// Called when an element ends, with its name, its own text (entities decoded, child elements'
// text excluded) and its depth (the root element has depth 0).
using XmlElementEnd =
    std::function<void(std::string_view name, const std::string& text, size_t depth)>;

// Scans a whole document. Fails with BadRequest and the line of the first fault.
Status scanXml(std::string_view document, const XmlElementEnd& onEnd, std::string& rootName);

} // namespace Dbscout::Handlers
