#include "protocol/comment_text.h"

#include "protocol/request_url.h"

#include <algorithm>

namespace Dbscout::Molb {

bool unescapeComment(std::string_view text, std::string& out)
{
    // The escapes of one letter, and the bytes they stand for.
    constexpr std::string_view kLetters = "\\nrt";
    constexpr std::string_view kBytes = "\\\n\r\t";
    out.clear();
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t escape = std::min(text.find('\\', at), text.size());
        out.append(text.substr(at, escape - at));
        if (escape == text.size())
            break;
        const char letter = escape + 1 < text.size() ? text[escape + 1] : '\0';
        const int byte = letter == 'x' ? hexPairAt(text, escape + 2) : -1;
        if (const size_t simple = kLetters.find(letter); simple != std::string_view::npos) {
            out += kBytes[simple];
            at = escape + 2;
        } else if (byte >= 0) {
            out += static_cast<char>(byte);
            at = escape + 4;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace Dbscout::Molb
