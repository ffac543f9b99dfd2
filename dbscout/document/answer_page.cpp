#include "document/answer_page.h"

#include "document/xml_reader.h"
#include "platform/process.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>

namespace Dbscout {

int parseDecimal(std::string_view text)
{
    size_t at = 0;
    while (at < text.size() &&
           std::string_view(" \t\n\v\f\r").find(text[at]) != std::string_view::npos)
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return int(negative ? -value : value);
}

void AnswerPage::Parse(int stdoutRead)
{
    const OutputBuffer text = ReadAllOutput(stdoutRead);
    if (!text)
        throw NoAnswerText{};
    parseText(text.get());
}

void AnswerPage::setVersion(const std::string* version)
{
    if (!version) {
        versionMajor = 1;
        versionMinor = 0;
        return;
    }
    versionMajor = parseDecimal(*version);
    size_t point = version->find('.');
    versionMinor = point == std::string::npos ? 0 : parseDecimal(version->substr(point + 1));
}

void AnswerPage::openBody(CXMLReader& reader, const char* text)
{
    reader.LoadXML(text);
    reader.OpenRoot("html");
    std::string version;
    setVersion(reader.GetAttribute("version", version, false) ? &version : nullptr);

    reader.PushChild("head", true);
    reader.PushChild("title", true);
    reader.GetText(title, true);
    reader.PopElement("title");
    reader.PopElement("head");

    reader.PushChild("body", true);
    reader.GetAttribute("id", status, true);
}

bool AnswerPage::statusIs(std::string_view expected) const
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return status.size() == expected.size() &&
           std::equal(status.begin(), status.end(), expected.begin(),
                      [&](char a, char b) { return lower(a) == lower(b); });
}

} // namespace Dbscout
