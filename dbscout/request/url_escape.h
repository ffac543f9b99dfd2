#pragma once
// Escaping of the values that a request URL carries, and the separator rule for parameters
// appended to a URL composed elsewhere. Everything not escaped here travels raw.

#include <string>
#include <string_view>

namespace Dbscout {

// Appends length bytes of text to out: ASCII letters, digits, ':' and ',' as they are, every
// other byte as '%' and two lowercase hex digits. A length of 0 or less appends nothing.
void EscapeQueryText(const char* text, int length, std::string& out);

// As EscapeQueryText, but '/' passes too (an object name may hold a path).
void EscapeObjectName(const char* text, int length, std::string& out);

// The comment of a check-in or check-out: backslash and control characters as C escapes, the
// characters that would end or split a parameter as "\xHH". Everything else stays.
std::string EscapeComment(std::string_view text);

// Appends param after '?' when the URL holds no '?' yet, else after '&'.
void appendUrlParam(std::string& url, std::string_view param);

} // namespace Dbscout
