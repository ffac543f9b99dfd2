#pragma once
// Percent escapes: every byte but the ASCII letters and digits and the bytes a caller keeps
// becomes "%" and two hexadecimal digits. One rule for the panel's request URLs, which carry
// lower-case digits, and the handlers' links and web requests, which carry upper-case ones.
// Header-only, so that the handlers use it without the component.

#include <string>
#include <string_view>

namespace Dbscout {

enum class HexDigits { Lower, Upper };

inline void appendPercentEncoded(std::string& out, std::string_view bytes, std::string_view keep,
                                 HexDigits digits)
{
    const char* hex = digits == HexDigits::Lower ? "0123456789abcdef" : "0123456789ABCDEF";
    for (const unsigned char c : bytes) {
        const bool letterOrDigit =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (letterOrDigit ||
            (c != 0 && keep.find(static_cast<char>(c)) != std::string_view::npos)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
}

} // namespace Dbscout
