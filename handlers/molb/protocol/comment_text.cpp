#include "protocol/comment_text.h"

#include "protocol/request_url.h"

namespace Dbscout::Molb {

bool unescapeComment(std::string_view text, std::string& out)
{
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            const int byte = hexPairAt(text, i + 1);
            if (byte < 0)
                return false;
            out += static_cast<char>(byte);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

} // namespace Dbscout::Molb
