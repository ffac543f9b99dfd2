#pragma once
// Trimming blanks off both ends of a text: one rule for the component, the handlers, the record
// readers and the tools. Header-only, so that programs without the component use it too.

#include <string_view>

namespace Dbscout {

// Blanks, tabs, line ends, form feeds and vertical tabs.
inline constexpr std::string_view kBlanks = " \t\r\n\f\v";

// text without the characters of blanks at its start and end.
constexpr std::string_view trimmed(std::string_view text, std::string_view blanks = kBlanks)
{
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace Dbscout
