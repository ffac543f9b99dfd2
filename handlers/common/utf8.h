#pragma once
// Text that goes into an answer page must be well-formed UTF-8 without the control characters
// XML forbids; names are checked when stored, everything else is cleaned when written.

#include <string>
#include <string_view>

namespace Dbscout::Handlers {

bool isValidUtf8(std::string_view text);
// text with every malformed UTF-8 sequence replaced by U+FFFD.
std::string repairedUtf8(std::string_view text);
// Appends text with &, <, > and " escaped, malformed UTF-8 as U+FFFD and forbidden control
// characters left out.
void appendXmlText(std::string& out, std::string_view text);

} // namespace Dbscout::Handlers
