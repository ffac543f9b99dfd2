#pragma once
// The record readers' XML scanner for the handlers' answers, failing with their status: a
// malformed document is a BadRequest whose message names the line of the first fault.

#include "records/xml_scanner.h"
#include "status.h"

namespace Dbscout::Handlers {

using Records::XmlElement;
using Records::XmlElementDone;

Status scanXmlElements(std::string_view document, const XmlElementDone& onEnd,
                       std::string& rootName);

} // namespace Dbscout::Handlers
