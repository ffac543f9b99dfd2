#pragma once
// Protocol text as handlers compare it: ASCII letters without regard to case, whatever the
// locale, and blanks trimmed from both ends.

#include <string_view>

namespace Dbscout::Handlers {

inline constexpr std::string_view kAsciiBlanks = " \t\r\n";

std::string_view trimmed(std::string_view text, std::string_view blanks = kAsciiBlanks);
bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);

} // namespace Dbscout::Handlers
