#include "xml_scanner.h"

#include <algorithm>
#include <vector>

namespace Dbscout::Handlers {
namespace {

class Scanner
{
public:
    Scanner(std::string_view document, const XmlElementEnd& onEnd)
        : m_text(document), m_onEnd(onEnd)
    {}

    Status run(std::string& rootName)
    {
        while (m_position < m_text.size()) {
            Status status = m_text[m_position] == '<' ? markup(rootName) : characters();
            if (!status.ok())
                return status;
        }
        if (!m_open.empty())
            return fault("the document ends inside <" + m_open.back().name + ">");
        if (rootName.empty())
            return fault("the document has no element");
        return Status::pass();
    }

private:
    struct Open
    {
        std::string name;
        std::string text;
    };

    Status fault(const std::string& what) const
    {
        const size_t line =
            1 + static_cast<size_t>(std::count(m_text.begin(), m_text.begin() + m_position, '\n'));
        return Status::fail(ErrorCode::BadRequest,
                            "malformed XML at line " + std::to_string(line) + ": " + what + ".");
    }

    Status skipPast(std::string_view end, const char* what)
    {
        const size_t found = m_text.find(end, m_position);
        if (found == std::string_view::npos)
            return fault(std::string("unterminated ") + what);
        m_position = found + end.size();
        return Status::pass();
    }

    Status characters()
    {
        const size_t end = std::min(m_text.find('<', m_position), m_text.size());
        const std::string_view run = m_text.substr(m_position, end - m_position);
        if (m_open.empty()) {
            if (run.find_first_not_of(" \t\r\n") != std::string_view::npos)
                return fault("text outside the root element");
            m_position = end;
            return Status::pass();
        }
        for (size_t i = 0; i < run.size(); ++i) {
            if (run[i] != '&') {
                m_open.back().text += run[i];
                continue;
            }
            const size_t semicolon = run.find(';', i);
            if (semicolon == std::string_view::npos ||
                !decodeEntity(run.substr(i + 1, semicolon - i - 1)))
                return fault("a malformed entity reference");
            i = semicolon;
        }
        m_position = end;
        return Status::pass();
    }

    bool decodeEntity(std::string_view entity)
    {
        static constexpr std::pair<std::string_view, char> kNamed[] = {
            {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
        for (const auto& [name, character] : kNamed) {
            if (entity == name) {
                m_open.back().text += character;
                return true;
            }
        }
        if (entity.size() < 2 || entity[0] != '#')
            return false;
        const bool hex = entity[1] == 'x';
        unsigned long code = 0;
        for (char c : entity.substr(hex ? 2 : 1)) {
            const int digit = c >= '0' && c <= '9'          ? c - '0'
                              : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                            : -1;
            if (digit < 0 || code > 0x10ffff)
                return false;
            code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
        }
        // Element texts here are identifiers and numbers; non-ASCII references become "?".
        m_open.back().text += code > 0 && code < 0x80 ? static_cast<char>(code) : '?';
        return code > 0 && code <= 0x10ffff;
    }

    Status markup(std::string& rootName)
    {
        const std::string_view rest = m_text.substr(m_position);
        if (rest.starts_with("<?"))
            return skipPast("?>", "processing instruction");
        if (rest.starts_with("<!--"))
            return skipPast("-->", "comment");
        if (rest.starts_with("<![CDATA[")) {
            if (m_open.empty())
                return fault("character data outside the root element");
            const size_t end = m_text.find("]]>", m_position);
            if (end == std::string_view::npos)
                return fault("unterminated character data");
            m_open.back().text += m_text.substr(m_position + 9, end - m_position - 9);
            m_position = end + 3;
            return Status::pass();
        }
        if (rest.starts_with("<!"))
            return skipPast(">", "declaration");
        const size_t close = m_text.find('>', m_position);
        if (close == std::string_view::npos)
            return fault("an unterminated tag");
        std::string_view tag = m_text.substr(m_position + 1, close - m_position - 1);
        if (!tag.empty() && tag.front() == '/')
            return endTag(tag.substr(1), close);
        const bool empty = !tag.empty() && tag.back() == '/';
        if (empty)
            tag.remove_suffix(1);
        const std::string_view name = tag.substr(0, tag.find_first_of(" \t\r\n"));
        if (name.empty())
            return fault("a tag without a name");
        if (m_open.empty()) {
            if (!rootName.empty())
                return fault("a second root element <" + std::string(name) + ">");
            rootName = name;
        }
        m_open.push_back(Open{std::string(name), {}});
        m_position = close + 1;
        return empty ? finish() : Status::pass();
    }

    Status endTag(std::string_view name, size_t close)
    {
        name = name.substr(0, name.find_first_of(" \t\r\n"));
        if (m_open.empty() || m_open.back().name != name)
            return fault("</" + std::string(name) + "> does not close the open element");
        m_position = close + 1;
        return finish();
    }

    Status finish()
    {
        const Open element = std::move(m_open.back());
        m_open.pop_back();
        m_onEnd(element.name, element.text, m_open.size());
        return Status::pass();
    }

    std::string_view m_text;
    const XmlElementEnd& m_onEnd;
    size_t m_position = 0;
    std::vector<Open> m_open;
};

} // namespace

Status scanXml(std::string_view document, const XmlElementEnd& onEnd, std::string& rootName)
{
    rootName.clear();
    return Scanner(document, onEnd).run(rootName);
}

} // namespace Dbscout::Handlers
