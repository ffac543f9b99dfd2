#pragma once
// Protocol words (schemes, reserved names, statuses) compared without regard to letter case:
// ASCII letters only, whatever the locale. The C library's case functions follow the locale, and
// a Turkish one pairs "i" with a dotted capital and "I" with a dotless small letter.

#include <string_view>

namespace Dbscout {

constexpr char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

constexpr bool equalsAsciiNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiUpper(a[i]) != asciiUpper(b[i]))
            return false;
    return true;
}

constexpr bool startsWithAsciiNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsAsciiNoCase(text.substr(0, prefix.size()), prefix);
}

} // namespace Dbscout
