#include "request/url_escape.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace Dbscout {

namespace {

bool isAsciiAlnum(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

void escapeBytes(const char* text, int length, std::string& out, bool keepSlash)
{
    static const char kHex[] = "0123456789abcdef";
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (isAsciiAlnum(c) || c == ':' || c == ',' || (keepSlash && c == '/')) {
            out += char(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0f];
        }
    }
}

} // namespace

void EscapeQueryText(const char* text, int length, std::string& out)
{
    escapeBytes(text, length, out, false);
}

void EscapeObjectName(const char* text, int length, std::string& out)
{
    escapeBytes(text, length, out, true);
}

std::string EscapeComment(std::string_view text)
{
    // Each character maps on its own, so one pass equals replacing the backslash first and
    // the others after it: inserted backslashes are never doubled.
    static const std::pair<char, const char*> kReplacements[] = {
        {'\\', "\\\\"}, {'\n', "\\n"},  {'\r', "\\r"},   {'\t', "\\t"},
        {'&', "\\x26"}, {'/', "\\x2F"}, {'=', "\\x3D"},  {'?', "\\x3F"},
        {';', "\\x3B"}, {'"', "\\x22"}, {'\'', "\\x27"}, {'|', "\\x7C"},
    };
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto* found = std::find_if(std::begin(kReplacements), std::end(kReplacements),
                                         [c](const auto& entry) { return entry.first == c; });
        if (found == std::end(kReplacements))
            out += c;
        else
            out += found->second;
    }
    return out;
}

void appendUrlParam(std::string& url, std::string_view param)
{
    url += url.find('?') == std::string::npos ? '?' : '&';
    url += param;
}

} // namespace Dbscout
