#include "request/url_escape.h"

#include "platform/percent_encoding.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace Dbscout {

namespace {

void escapeBytes(const char* text, int length, std::string& out, std::string_view keep)
{
    if (length > 0)
        appendPercentEncoded(out, std::string_view(text, static_cast<size_t>(length)), keep,
                             HexDigits::Lower);
}

} // namespace

void EscapeQueryText(const char* text, int length, std::string& out)
{
    escapeBytes(text, length, out, ":,");
}

void EscapeObjectName(const char* text, int length, std::string& out)
{
    escapeBytes(text, length, out, ":,/");
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
