#pragma once
// Protocol text as handlers compare it: ASCII letters without regard to case, whatever the
// locale, and blanks trimmed from both ends by the one trimming rule of the tree.

#include "platform/blanks.h"

#include <string_view>

namespace Dbscout::Handlers {

inline constexpr std::string_view kAsciiBlanks = kBlanks;
using Dbscout::trimmed;

bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);

} // namespace Dbscout::Handlers
