#pragma once
// Protocol text as handlers compare it, by the rules the component keeps once: ASCII letters
// without regard to case, whatever the locale, and blanks trimmed from both ends.

#include "platform/ascii_case.h"
#include "platform/blanks.h"

#include <string_view>

namespace Dbscout::Handlers {

inline constexpr std::string_view kAsciiBlanks = kBlanks;
using Dbscout::trimmed;

constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return equalsAsciiNoCase(a, b);
}

constexpr bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return startsWithAsciiNoCase(text, prefix);
}

} // namespace Dbscout::Handlers
