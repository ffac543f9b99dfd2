#include "utf8.h"

#include "platform/utf8_sequence.h"

namespace Dbscout::Handlers {

bool isValidUtf8(std::string_view text)
{
    return Dbscout::isValidUtf8(text);
}

std::string repairedUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t length = utf8SequenceLength(text, i);
        out.append(length == 0 ? std::string_view("\xef\xbf\xbd") : text.substr(i, length));
        i += length == 0 ? 1 : length;
    }
    return out;
}

void appendXmlText(std::string& out, std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        const size_t length = utf8SequenceLength(text, i);
        if (length == 0) {
            out += "\xef\xbf\xbd";
            ++i;
            continue;
        }
        const char c = text[i];
        const bool nonCharacter = length == 3 && text.substr(i, 2) == "\xef\xbf" &&
                                  static_cast<unsigned char>(text[i + 2]) >= 0xbe;
        if (nonCharacter) // U+FFFE and U+FFFF are no XML characters
            out += "\xef\xbf\xbd";
        else if (length > 1)
            out.append(text.substr(i, length));
        else if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r')
            out += c;
        i += length;
    }
}

} // namespace Dbscout::Handlers
