#include "entry_fields.h"

#include "platform/blanks.h"
#include "text_lines.h"

#include <algorithm>

namespace Dbscout::Records {

Outcome appendResidues(std::string_view line, size_t number, std::string& sequence, bool counted)
{
    for (const char c : line) {
        if ((c >= 'A' && c <= 'Z') || c == '*' || c == '-')
            sequence += c;
        else if (c >= 'a' && c <= 'z')
            sequence += static_cast<char>(c - 'a' + 'A');
        else if (c == '.')
            sequence += '-';
        else if (!isLineBlank(c) && !(counted && c >= '0' && c <= '9'))
            return Outcome::failed(number, "\"" + std::string(1, c) + "\" is no residue letter");
    }
    return Outcome::done();
}

std::string residueGroups(std::string_view residues, size_t start, size_t count, bool lowerCase)
{
    std::string text;
    const size_t end = std::min(residues.size(), start + count);
    for (size_t at = start; at < end; at += 10) {
        if (at > start)
            text += ' ';
        for (char c : residues.substr(at, std::min<size_t>(10, end - at)))
            text += lowerCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
}

std::vector<std::string> listItems(std::string_view text, char separator)
{
    std::vector<std::string> items;
    text = withoutFinal(trimmed(text, kLineBlanks), '.');
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find(separator, start), text.size());
        const std::string_view item = trimmed(text.substr(start, end - start), kLineBlanks);
        if (!item.empty())
            items.emplace_back(item);
        start = end + 1;
    }
    return items;
}

std::string listText(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : "; ") + item;
    return text + ".";
}

Topology topologyNamed(std::string_view word)
{
    if (word == "linear")
        return Topology::Linear;
    if (word == "circular")
        return Topology::Circular;
    return Topology::Unknown;
}

bool isEntryDate(std::string_view word)
{
    const auto digits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const auto letters = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    };
    return word.size() == 11 && word[2] == '-' && word[6] == '-' && digits(word.substr(0, 2)) &&
           letters(word.substr(3, 3)) && digits(word.substr(7));
}

std::string isoDate(std::string_view entryDate)
{
    constexpr std::string_view kMonths = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
    const size_t month =
        isEntryDate(entryDate) ? kMonths.find(entryDate.substr(3, 3)) : std::string_view::npos;
    if (month == std::string_view::npos || month % 3 != 0)
        return {};
    const size_t number = month / 3 + 1;
    return std::string(entryDate.substr(7, 4)) + (number < 10 ? "-0" : "-") +
           std::to_string(number) + "-" + std::string(entryDate.substr(0, 2));
}

Outcome checkLength(const Record& record, size_t line)
{
    if (record.countsRecords || record.sequence.empty() ||
        static_cast<long long>(record.sequence.size()) == record.length)
        return Outcome::done();
    return Outcome::failed(line, "the entry declares " + std::to_string(record.length) +
                                     " residues but its sequence holds " +
                                     std::to_string(record.sequence.size()));
}

} // namespace Dbscout::Records
