#include "reg_file_reader.h"

#include "reg_bytes.h"

#include "platform/blanks.h"
#include "platform/utf8_sequence.h"

#include <algorithm>
#include <string_view>

namespace Dbscout {

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kBom = "\xef\xbb\xbf";
// A .reg line's blanks; a line end inside a value is the value's own.
constexpr std::string_view kRegBlanks = " \t";

class Parser
{
public:
    Parser(std::string_view text, std::vector<RegFileChange>& changes, RegFileError& error)
        : m_text(text), m_changes(changes), m_error(error)
    {}

    bool run()
    {
        if (m_text.substr(0, kBom.size()) == kBom)
            m_text.remove_prefix(kBom.size());
        std::string_view line;
        const std::string_view header =
            nextLine(line) ? trimmed(line, kRegBlanks) : std::string_view();
        if (header != kHeader5 && header != kHeader4)
            return fail("not a registry file: the first line must be \"" + std::string(kHeader5) +
                        "\" or \"" + std::string(kHeader4) + "\"");
        while (nextLine(line)) {
            const std::string_view content = trimmed(line, kRegBlanks);
            m_start = m_line;
            bool ok = true;
            if (content.empty() || content.front() == ';')
                continue;
            if (content.front() == '[')
                ok = section(content);
            else if (content.front() == '"' || content.front() == '@')
                ok = value(content);
            else
                ok = fail("unexpected line; expected [KEY], a value line or a ; comment");
            if (!ok)
                return false;
        }
        return true;
    }

private:
    bool nextLine(std::string_view& line)
    {
        if (m_text.empty())
            return false;
        const size_t end = m_text.find('\n');
        line = m_text.substr(0, end);
        m_text.remove_prefix(end == std::string_view::npos ? m_text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ++m_line;
        return true;
    }

    bool fail(const std::string& message)
    {
        m_error = {m_start ? m_start : std::max(m_line, 1), message}; // an empty file: line 1
        return false;
    }

    bool section(std::string_view content)
    {
        if (content.back() != ']')
            return fail("key line does not end with ]");
        std::string_view path = content.substr(1, content.size() - 2);
        const bool deleting = !path.empty() && path.front() == '-';
        if (deleting)
            path.remove_prefix(1);
        RegFileChange change;
        change.kind = deleting ? RegFileChange::Kind::DeleteKey : RegFileChange::Kind::CreateKey;
        change.line = m_line;
        if (!parseKeyName(std::string(path), change.key))
            return fail("unknown root key \"" + std::string(path.substr(0, path.find('\\'))) +
                        "\"");
        if (!checkText(path, "key name"))
            return false;
        const std::string& below = change.key.path;
        if (!below.empty() && (below.find("\\\\") != std::string::npos || below.front() == '\\' ||
                               below.back() == '\\'))
            return fail("empty key name in \"" + std::string(path) + "\"");
        if (deleting && below.empty())
            return fail("cannot delete a whole hive");
        m_key = change.key;
        m_inKey = !deleting;
        m_deleted = deleting;
        m_changes.push_back(std::move(change));
        return true;
    }

    // Names and strings are UTF-8 text. A NUL would end a name early as the store's calls take
    // it, so that another key or value than the one written would change.
    bool checkText(std::string_view text, const std::string& what)
    {
        if (text.find('\0') != std::string_view::npos)
            return fail("the " + what + " holds a NUL byte");
        if (!isValidUtf8(text))
            return fail("the " + what + " is not valid UTF-8");
        return true;
    }

    // Text between double quotes with \\ and \" escapes; rest continues after the closing one.
    // what names it in messages ("value name").
    bool quoted(std::string_view& rest, std::string& text, const std::string& what)
    {
        text.clear();
        for (size_t i = 1; i < rest.size(); ++i) {
            if (rest[i] == '"') {
                rest.remove_prefix(i + 1);
                return checkText(text, what);
            }
            if (rest[i] == '\\') {
                if (i + 1 >= rest.size())
                    break;
                if (rest[i + 1] != '\\' && rest[i + 1] != '"')
                    return fail(std::string("unknown escape \\") + rest[i + 1] +
                                " (only \\\\ and \\\" are allowed)");
                ++i;
            }
            text += rest[i];
        }
        return fail("unterminated " + what);
    }

    bool value(std::string_view content)
    {
        if (m_deleted)
            return fail("value under a deleted key");
        if (!m_inKey)
            return fail("value outside a key section");
        RegFileChange change;
        change.line = m_line;
        change.key = m_key;
        std::string_view rest = content;
        if (rest.front() == '@')
            rest.remove_prefix(1);
        else if (!quoted(rest, change.valueName, "value name"))
            return false;
        rest = trimmed(rest, kRegBlanks);
        if (rest.empty() || rest.front() != '=')
            return fail("expected = after the value name");
        rest = trimmed(rest.substr(1), kRegBlanks);
        if (!data(rest, change))
            return false;
        rest = trimmed(rest, kRegBlanks);
        if (!rest.empty() && rest.front() != ';')
            return fail("unexpected text after the value");
        m_changes.push_back(std::move(change));
        return true;
    }

    bool data(std::string_view& rest, RegFileChange& change)
    {
        change.kind = RegFileChange::Kind::SetValue;
        if (rest.substr(0, 1) == "-") {
            change.kind = RegFileChange::Kind::DeleteValue;
            rest.remove_prefix(1);
            return true;
        }
        if (rest.substr(0, 1) == "\"") {
            change.type = REG_SZ;
            if (!quoted(rest, change.data, "string"))
                return false;
            change.data += '\0';
            return true;
        }
        if (rest.substr(0, 6) == "dword:") {
            const size_t end = rest.find_first_of(" \t;", 6);
            uint32_t number = 0;
            if (!parseHex(rest.substr(6, end == std::string_view::npos ? end : end - 6), 8, number))
                return fail("dword: needs 1 to 8 hex digits");
            change.type = REG_DWORD;
            change.data = dwordBytes(number);
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
            return true;
        }
        if (rest.substr(0, 4) == "hex:" || rest.substr(0, 4) == "hex(")
            return hexData(rest, change);
        return fail("unknown value data; expected \"text\", dword:, hex:, hex(N): or -");
    }

    bool hexData(std::string_view& rest, RegFileChange& change)
    {
        change.type = REG_BINARY;
        if (rest[3] == '(') {
            const size_t close = rest.find("):");
            uint32_t type = 0;
            if (close == std::string_view::npos || !parseHex(rest.substr(4, close - 4), 8, type))
                return fail("hex( needs a hex type number and \"):\"");
            change.type = type;
            rest.remove_prefix(close + 2);
        } else {
            rest.remove_prefix(4);
        }
        // Lines ending in a backslash continue on the next one.
        m_joined.assign(rest);
        std::string_view line;
        while (!trimmed(m_joined, kRegBlanks).empty() &&
               trimmed(m_joined, kRegBlanks).back() == '\\') {
            m_joined.resize(m_joined.rfind('\\'));
            if (!nextLine(line))
                return fail("the file ends inside a continued line");
            m_joined += trimmed(line, kRegBlanks);
        }
        std::string_view list = m_joined;
        const size_t comment = list.find(';');
        rest = comment == std::string_view::npos ? std::string_view() : list.substr(comment);
        list = trimmed(list.substr(0, comment), kRegBlanks);
        while (!list.empty()) {
            const size_t comma = list.find(',');
            const std::string_view byte = trimmed(list.substr(0, comma), kRegBlanks);
            uint32_t number = 0;
            if (!parseHex(byte, 2, number))
                return fail("bad hex byte \"" + std::string(byte) + "\"");
            change.data += char(number);
            list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        }
        return true;
    }

    std::string_view m_text;
    std::vector<RegFileChange>& m_changes;
    RegFileError& m_error;
    int m_line = 0;
    int m_start = 0; // the first line of the value being read
    RegKeyName m_key;
    bool m_inKey = false;
    bool m_deleted = false;
    std::string m_joined; // a hex list with its continued lines
};

} // namespace

bool parseRegFile(const std::string& text, std::vector<RegFileChange>& changes, RegFileError& error)
{
    changes.clear();
    return Parser(text, changes, error).run();
}

} // namespace Dbscout
