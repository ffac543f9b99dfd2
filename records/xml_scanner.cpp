#include "xml_scanner.h"

#include "code_point.h"

#include <algorithm>
#include <vector>

namespace Dbscout::Records {
namespace {

// Appends what the reference &entity; stands for; false when it is none XML knows.
bool appendEntity(std::string& out, std::string_view entity)
{
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [name, character] : kNamed) {
        if (entity == name) {
            out += character;
            return true;
        }
    }
    if (entity.size() < 2 || entity[0] != '#')
        return false;
    const bool hex = entity[1] == 'x';
    if (entity.size() == (hex ? 2u : 1u))
        return false;
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
    // No NUL, no surrogate halves, nothing past the last code point.
    if (code == 0 || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return false;
    appendUtf8(out, code);
    return true;
}

// Decodes the entity references of text into out; false at a malformed one.
bool appendDecoded(std::string& out, std::string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const size_t semicolon = text.find(';', i);
        if (semicolon == std::string_view::npos ||
            !appendEntity(out, text.substr(i + 1, semicolon - i - 1)))
            return false;
        i = semicolon;
    }
    return true;
}

class Scanner
{
public:
    Scanner(std::string_view document, const XmlElementDone& onEnd)
        : m_text(document), m_onEnd(onEnd)
    {}

    Outcome run(std::string& rootName)
    {
        while (m_position < m_text.size()) {
            Outcome status = m_text[m_position] == '<' ? markup(rootName) : characters();
            if (!status.ok())
                return status;
        }
        if (!m_open.empty())
            return fault("the document ends inside <" + std::string(m_open.back().name) + ">");
        if (rootName.empty())
            return fault("the document has no element");
        return Outcome::done();
    }

private:
    struct Open
    {
        std::string_view name;
        std::string_view attributes;
        std::string text;
    };

    Outcome fault(const std::string& what) const
    {
        // A document that ends early ends on its last line, not after its final line end.
        const size_t at =
            m_position == m_text.size() && m_text.ends_with('\n') ? m_position - 1 : m_position;
        const size_t line =
            1 + static_cast<size_t>(std::count(m_text.begin(), m_text.begin() + at, '\n'));
        return Outcome::failed(line, "malformed XML: " + what);
    }

    Outcome skipPast(std::string_view end, const char* what)
    {
        const size_t found = m_text.find(end, m_position);
        if (found == std::string_view::npos)
            return fault(std::string("unterminated ") + what);
        m_position = found + end.size();
        return Outcome::done();
    }

    Outcome characters()
    {
        const size_t end = std::min(m_text.find('<', m_position), m_text.size());
        const std::string_view run = m_text.substr(m_position, end - m_position);
        if (m_open.empty()) {
            if (run.find_first_not_of(" \t\r\n") != std::string_view::npos)
                return fault("text outside the root element");
            m_position = end;
            return Outcome::done();
        }
        if (!appendDecoded(m_open.back().text, run))
            return fault("a malformed entity reference");
        m_position = end;
        return Outcome::done();
    }

    Outcome markup(std::string& rootName)
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
            return Outcome::done();
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
        m_open.push_back(Open{name, tag.substr(name.size()), {}});
        m_position = close + 1;
        return empty ? finish() : Outcome::done();
    }

    Outcome endTag(std::string_view name, size_t close)
    {
        name = name.substr(0, name.find_first_of(" \t\r\n"));
        if (m_open.empty() || m_open.back().name != name)
            return fault("</" + std::string(name) + "> does not close the open element");
        m_position = close + 1;
        return finish();
    }

    Outcome finish()
    {
        const Open element = std::move(m_open.back());
        m_open.pop_back();
        m_onEnd(XmlElement{element.name, element.text, element.attributes, m_open.size()});
        return Outcome::done();
    }

    std::string_view m_text;
    const XmlElementDone& m_onEnd;
    size_t m_position = 0;
    std::vector<Open> m_open;
};

} // namespace

std::optional<std::string> XmlElement::attribute(std::string_view wanted) const
{
    std::string_view rest = attributes;
    while (true) {
        const size_t nameStart = rest.find_first_not_of(" \t\r\n");
        if (nameStart == std::string_view::npos)
            return std::nullopt;
        const size_t equals = rest.find('=', nameStart);
        if (equals == std::string_view::npos)
            return std::nullopt;
        const std::string_view name = rest.substr(nameStart, equals - nameStart);
        const size_t quoteAt = rest.find_first_not_of(" \t\r\n", equals + 1);
        if (quoteAt == std::string_view::npos || (rest[quoteAt] != '"' && rest[quoteAt] != '\''))
            return std::nullopt;
        const size_t close = rest.find(rest[quoteAt], quoteAt + 1);
        if (close == std::string_view::npos)
            return std::nullopt;
        if (name.substr(0, name.find_first_of(" \t\r\n")) == wanted) {
            std::string value;
            if (!appendDecoded(value, rest.substr(quoteAt + 1, close - quoteAt - 1)))
                return std::nullopt;
            return value;
        }
        rest = rest.substr(close + 1);
    }
}

Outcome scanXmlElements(std::string_view document, const XmlElementDone& onEnd,
                        std::string& rootName)
{
    rootName.clear();
    return Scanner(document, onEnd).run(rootName);
}

} // namespace Dbscout::Records
