#pragma once
// A Unicode code point as UTF-8, for the readers of escaped text (XML's character references,
// JSON's \u escapes).

#include <string>

namespace Dbscout::Records {

// Appends the UTF-8 bytes of code (at most U+10FFFF).
void appendUtf8(std::string& out, unsigned long code);

} // namespace Dbscout::Records
