#include "import/text_lines.h"

#include <charconv>

namespace Dbscout::Molb {
namespace {

// What trim() removes and words() splits at: a line read with a stray carriage return before its
// line feed must split into the same words that trimming leaves.
constexpr std::string_view kBlanks = " \t\r\n";

} // namespace

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
    m_position = end + 1;
    ++m_line;
    return true;
}

std::string_view trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> result;
    size_t position = 0;
    while (true) {
        const size_t first = text.find_first_not_of(kBlanks, position);
        if (first == std::string_view::npos)
            return result;
        const size_t end = text.find_first_of(kBlanks, first);
        result.push_back(text.substr(first, end == std::string_view::npos ? end : end - first));
        if (end == std::string_view::npos)
            return result;
        position = end;
    }
}

void appendJoined(std::string& out, std::string_view text)
{
    text = trim(text);
    if (text.empty())
        return;
    if (!out.empty())
        out += ' ';
    out.append(text);
}

void splitAtTerminators(std::string_view text, std::vector<std::string_view>& records)
{
    size_t start = 0;
    size_t position = 0;
    while (position < text.size()) {
        size_t end = text.find('\n', position);
        end = end == std::string_view::npos ? text.size() : end + 1;
        if (startsWith(text.substr(position), "//")) {
            records.push_back(text.substr(start, end - start));
            start = end;
        }
        position = end;
    }
    if (!trim(text.substr(start)).empty())
        records.push_back(text.substr(start));
}

long long wholeNumber(std::string_view text)
{
    if (text.starts_with('-')) // "-0" is no length
        return -1;
    long long value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0)
        return -1;
    return value;
}

} // namespace Dbscout::Molb
