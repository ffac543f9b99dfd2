#include "percent_encoding.h"

namespace Dbscout::Handlers {

std::string percentEncode(std::string_view text, std::string_view keep)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            (c != 0 && keep.find(static_cast<char>(c)) != std::string_view::npos)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

} // namespace Dbscout::Handlers
