#include "text_lines.h"

#include "platform/blanks.h"

#include <algorithm>
#include <charconv>

namespace Dbscout::Records {

bool LineReader::next(std::string_view& line)
{
    if (m_position >= m_text.size())
        return false;
    size_t end = m_text.find('\n', m_position);
    if (end == std::string_view::npos)
        end = m_text.size();
    line = m_text.substr(m_position, end - m_position);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    m_previous = m_position;
    m_position = end + 1;
    ++m_line;
    return true;
}

void LineReader::back()
{
    m_position = m_previous;
    --m_line;
}

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> result;
    size_t position = 0;
    while (true) {
        const size_t first = text.find_first_not_of(kLineBlanks, position);
        if (first == std::string_view::npos)
            return result;
        const size_t end = text.find_first_of(kLineBlanks, first);
        result.push_back(text.substr(first, end == std::string_view::npos ? end : end - first));
        if (end == std::string_view::npos)
            return result;
        position = end;
    }
}

void appendJoined(std::string& out, std::string_view text)
{
    text = trimmed(text, kLineBlanks);
    if (text.empty())
        return;
    if (!out.empty())
        out += ' ';
    out.append(text);
}

long long wholeNumber(std::string_view text)
{
    long long value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.size() > 18 || text[0] == '-' || error != std::errc() ||
        end != text.data() + text.size())
        return -1;
    return value;
}

std::string_view withoutFinal(std::string_view text, char end)
{
    if (!text.empty() && text.back() == end) {
        text.remove_suffix(1);
        // A lone end on a line of its own ("[" then "." joined as "[ .") takes the blank too:
        // written back, the field would end at the text, not at the blank.
        while (!text.empty() && isLineBlank(text.back()))
            text.remove_suffix(1);
    }
    return text;
}

bool isLineBlank(char c)
{
    return kLineBlanks.find(c) != std::string_view::npos;
}

namespace {

// Splits text at the cut positions that cutsAt accepts: the last one within width, or the
// first one after it when there is none within.
template <typename CutAt>
std::vector<std::string_view> wrapWhere(std::string_view text, size_t width, size_t from,
                                        size_t skip, const CutAt& cutAt)
{
    std::vector<std::string_view> lines;
    while (text.size() > width) {
        size_t cut = std::string_view::npos;
        for (size_t at = std::max<size_t>(from, 1);
             at + 1 < text.size() && (at <= width || cut == std::string_view::npos); ++at) {
            if (cutAt(text, at))
                cut = at;
        }
        if (cut == std::string_view::npos)
            break;
        lines.push_back(text.substr(0, cut));
        text.remove_prefix(cut + skip);
        from = 1;
    }
    lines.push_back(text);
    return lines;
}

} // namespace

std::vector<std::string_view> wrapAtBlanks(std::string_view text, size_t width, size_t from)
{
    return wrapWhere(text, width, from, 1, [](std::string_view text, size_t at) {
        return text[at] == ' ' && !isLineBlank(text[at - 1]) && !isLineBlank(text[at + 1]);
    });
}

std::vector<std::string_view> wrapTight(std::string_view text, size_t width, size_t from,
                                        std::string_view keep)
{
    return wrapWhere(text, width, from, 0, [keep](std::string_view text, size_t at) {
        const auto free = [keep](char c) {
            return !isLineBlank(c) && keep.find(c) == std::string_view::npos;
        };
        return free(text[at - 1]) && free(text[at]);
    });
}

std::vector<std::string_view> wrapAfter(std::string_view text, size_t width, char mark)
{
    return wrapWhere(text, width, 1, 0,
                     [mark](std::string_view text, size_t at) { return text[at - 1] == mark; });
}

void writeLines(std::string& out, std::string_view firstPrefix, std::string_view prefix,
                const std::vector<std::string_view>& lines)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        out += i == 0 ? firstPrefix : prefix;
        out += lines[i];
        out += '\n';
    }
}

} // namespace Dbscout::Records
