#include "percent_encoding.h"

#include "platform/percent_encoding.h"

namespace Dbscout::Handlers {

std::string percentEncode(std::string_view text, std::string_view keep)
{
    std::string out;
    out.reserve(text.size() * 3);
    appendPercentEncoded(out, text, keep, HexDigits::Upper);
    return out;
}

} // namespace Dbscout::Handlers
