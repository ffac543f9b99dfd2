#include "ebi_answers.h"

#include "ascii_text.h"
#include "records/code_point.h"
#include "utf8.h"
#include "web_page.h"

#include <charconv>

namespace Dbscout::Ebi {
namespace {

using Handlers::ErrorCode;

constexpr size_t kMostWordsBytes = 300;
constexpr size_t kQuotedBytes = 60;

Status notTable(std::string what)
{
    return Status::fail(ErrorCode::Failure, std::move(what));
}

std::string quotedStart(std::string_view line)
{
    std::string start(line.substr(0, kQuotedBytes));
    for (char& c : start) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    }
    return "\"" + Handlers::repairedUtf8(start) + (line.size() > kQuotedBytes ? "...\"" : "\"");
}

std::vector<std::string> fields(std::string_view line)
{
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    std::vector<std::string> out;
    for (size_t at = 0;;) {
        const size_t tab = line.find('\t', at);
        out.emplace_back(line.substr(at, tab == std::string_view::npos ? line.npos : tab - at));
        if (tab == std::string_view::npos)
            return out;
        at = tab + 1;
    }
}

// A small reader of the one JSON object an error body is: the values of its top level, strings
// decoded, everything else passed over.
class JsonScan
{
public:
    explicit JsonScan(std::string_view text) : m_text(text) {}

    bool take(char c)
    {
        blanks();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    bool peek(char c)
    {
        blanks();
        return m_at < m_text.size() && m_text[m_at] == c;
    }
    // A string at the current place, decoded; false when there is none, or it is not closed.
    bool string(std::string& out)
    {
        out.clear();
        if (!take('"'))
            return false;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"')
                return true;
            if (c != '\\') {
                out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
                continue;
            }
            if (m_at >= m_text.size())
                return false;
            const char e = m_text[m_at++];
            switch (e) {
            case 'n':
            case 'r':
            case 't':
            case 'b':
            case 'f':
                out += ' ';
                break;
            case 'u':
                out += codePoint();
                break;
            default:
                out += static_cast<unsigned char>(e) < 0x20 ? ' ' : e;
            }
        }
        return false;
    }
    // Passes over one value of any kind; false when the text ends inside it.
    bool skipValue()
    {
        blanks();
        int depth = 0;
        std::string ignored;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (c == '"') {
                if (!string(ignored))
                    return false;
            } else if (c == '{' || c == '[') {
                ++depth;
                ++m_at;
            } else if (c == '}' || c == ']') {
                if (depth == 0)
                    return true;
                --depth;
                ++m_at;
            } else if (c == ',' && depth == 0) {
                return true;
            } else {
                ++m_at;
            }
            if (depth == 0 && (c == '"' || c == '}' || c == ']'))
                return true;
        }
        return depth == 0;
    }

private:
    void blanks()
    {
        while (m_at < m_text.size() && Handlers::kAsciiBlanks.find(m_text[m_at]) != m_text.npos)
            ++m_at;
    }
    unsigned hex4()
    {
        unsigned value = 0;
        if (m_at + 4 > m_text.size() ||
            std::from_chars(m_text.data() + m_at, m_text.data() + m_at + 4, value, 16).ptr !=
                m_text.data() + m_at + 4)
            return 0xFFFD;
        m_at += 4;
        return value;
    }
    std::string codePoint()
    {
        unsigned value = hex4();
        if (value >= 0xD800 && value < 0xDC00 && m_text.substr(m_at, 2) == "\\u") {
            m_at += 2;
            const unsigned low = hex4();
            value = low >= 0xDC00 && low < 0xE000
                        ? 0x10000 + ((value - 0xD800) << 10) + (low - 0xDC00)
                        : 0xFFFD;
        }
        if ((value >= 0xD800 && value < 0xE000) || value < 0x20)
            value = value < 0x20 ? ' ' : 0xFFFD;
        std::string out;
        Records::appendUtf8(out, value);
        return out;
    }

    std::string_view m_text;
    size_t m_at = 0;
};

void addWords(std::string& words, const std::string& text)
{
    const std::string_view said = Handlers::trimmed(text);
    if (!said.empty() && words.size() < kMostWordsBytes)
        words += (words.empty() ? "" : "; ") + Handlers::repairedUtf8(said);
}

// The first kMostWordsBytes of already repaired words, never ending inside a character.
std::string cutWords(const std::string& words)
{
    size_t end = kMostWordsBytes;
    while (end > 0 && (static_cast<unsigned char>(words[end]) & 0xC0) == 0x80)
        --end;
    return words.substr(0, end) + "...";
}

} // namespace

Status readTsv(std::string_view bytes, size_t columns, TsvTable& table)
{
    table = TsvTable();
    if (bytes.empty())
        return Status::pass();
    if (std::optional<std::string> page = Web::webPage(bytes))
        return notTable(*page);
    if (!bytes.ends_with('\n'))
        return notTable("a table cut short");
    bool first = true;
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = bytes.find('\n', at);
        const std::string_view line = bytes.substr(at, end - at);
        at = end + 1;
        std::vector<std::string> cells = fields(line);
        if (cells.size() != columns)
            return notTable(first ? "text that is not a table of the columns asked for (" +
                                        quotedStart(line) + ")"
                                  : "a table row of " + std::to_string(cells.size()) +
                                        " columns where " + std::to_string(columns) +
                                        " were asked for (" + quotedStart(line) + ")");
        for (std::string& cell : cells)
            cell = Handlers::repairedUtf8(cell);
        if (first)
            table.header = std::move(cells);
        else
            table.rows.push_back(std::move(cells));
        first = false;
    }
    return Status::pass();
}

Status readCount(std::string_view bytes, std::int64_t& count)
{
    count = -1;
    std::string_view text = Handlers::trimmed(bytes);
    if (text.starts_with("count")) {
        const size_t line = text.find('\n');
        text = line == text.npos ? std::string_view() : Handlers::trimmed(text.substr(line + 1));
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) {
        if (std::optional<std::string> page = Web::webPage(bytes))
            return notTable(*page);
        return notTable("text that is not a count (" + quotedStart(bytes) + ")");
    }
    count = value;
    return Status::pass();
}

std::string errorWords(std::string_view body)
{
    JsonScan json(body);
    if (!json.take('{'))
        return {};
    std::string words;
    std::string name;
    std::string value;
    while (json.string(name) && json.take(':')) {
        if (name == "messages" && json.take('[')) {
            while (json.string(value)) {
                addWords(words, value);
                if (!json.take(','))
                    break;
            }
            if (!json.take(']'))
                break;
        } else if (name == "message" && json.peek('"')) {
            if (!json.string(value))
                break;
            addWords(words, value);
        } else if (!json.skipValue()) {
            break;
        }
        if (!json.take(','))
            break;
    }
    return words.size() > kMostWordsBytes ? cutWords(words) : words;
}

} // namespace Dbscout::Ebi
