#include "model/names.h"

namespace Dbscout::Molb {

std::string quotedForMessage(std::string_view text)
{
    if (text.size() <= kMaxShownBytes)
        return "\"" + std::string(text) + "\"";
    // Cut before a UTF-8 continuation byte, so that the message stays readable text.
    size_t cut = kMaxShownBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xc0) == 0x80)
        --cut;
    return "\"" + std::string(text.substr(0, cut)) + "...\"";
}

bool isValidDatabaseName(std::string_view name)
{
    if (name.empty() || name.size() > 128 || name.front() == '.')
        return false;
    for (char c : name) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                             (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
        if (!allowed)
            return false;
    }
    return true;
}

} // namespace Dbscout::Molb
