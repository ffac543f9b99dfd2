#pragma once
// Check-in and check-out comments travel in the component's escaped form: a backslash, line
// breaks and tabs as "\\", "\n", "\r" and "\t", and the characters that would end or split a
// parameter ("&", "/", "=", "?", ";", quotes, "|") as "\xHH". Everything else is as typed.

#include <string>
#include <string_view>

namespace Dbscout::Molb {

// Decodes text into out; false for a backslash that starts no escape of the form above.
bool unescapeComment(std::string_view text, std::string& out);

} // namespace Dbscout::Molb
