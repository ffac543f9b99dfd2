#include "xml_scanner.h"

namespace Dbscout::Handlers {

Status scanXmlElements(std::string_view document, const XmlElementDone& onEnd,
                       std::string& rootName)
{
    const Records::Outcome outcome = Records::scanXmlElements(document, onEnd, rootName);
    return outcome.ok() ? Status::pass() : Status::fail(ErrorCode::BadRequest, outcome.text());
}

} // namespace Dbscout::Handlers
