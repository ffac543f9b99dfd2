#pragma once
// Percent escapes in request URLs, as the panel writes them.

#include <string>
#include <string_view>

namespace Dbscout::Handlers {

// The byte that the two hexadecimal digits at text[at] write, or -1 when there are not two.
int hexPairAt(std::string_view text, size_t at);
// Decodes %xx escapes (either case); any other "%" fails.
bool percentDecode(std::string_view text, std::string& out);

} // namespace Dbscout::Handlers
