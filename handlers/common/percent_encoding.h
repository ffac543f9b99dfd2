#pragma once
// Percent escapes in the addresses a handler writes: its own links, and web requests.

#include <string>
#include <string_view>

namespace Dbscout::Handlers {

// Every byte but ASCII letters, digits and the bytes of keep as %XX (upper-case digits).
std::string percentEncode(std::string_view text, std::string_view keep);

} // namespace Dbscout::Handlers
