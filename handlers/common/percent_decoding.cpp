#include "percent_decoding.h"

#include "platform/hex_digit.h"

namespace Dbscout::Handlers {

int hexPairAt(std::string_view text, size_t at)
{
    const int high = at < text.size() ? hexDigitValue(text[at]) : -1;
    const int low = at + 1 < text.size() ? hexDigitValue(text[at + 1]) : -1;
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

bool percentDecode(std::string_view text, std::string& out)
{
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const int byte = hexPairAt(text, i + 1);
        if (byte < 0)
            return false;
        out += static_cast<char>(byte);
        i += 2;
    }
    return true;
}

} // namespace Dbscout::Handlers
