#include "location.h"

#include <algorithm>
#include <utility>

namespace Dbscout::Records {
namespace {

// Deeper nesting than any real table has is a hostile text, not a location.
constexpr int kMaxDepth = 64;
// More digits than a base number of any sequence can have.
constexpr size_t kMaxDigits = 15;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

constexpr std::pair<std::string_view, Location::Kind> kGroups[] = {
    {"join", Location::Kind::Join},
    {"order", Location::Kind::Order},
    {"bond", Location::Kind::Bond},
};

class Parser
{
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    bool parse(Location& location, std::string& error)
    {
        if (element(location, 0) && m_at == m_text.size())
            return true;
        error = "the location \"" + std::string(m_text) + "\" cannot be read " +
                (m_at >= m_text.size() ? std::string("to its end")
                                       : "from \"" + std::string(m_text.substr(m_at, 20)) + "\"");
        return false;
    }

private:
    bool take(std::string_view word)
    {
        if (m_text.substr(m_at, word.size()) != word)
            return false;
        m_at += word.size();
        return true;
    }

    bool peek(char c) const { return m_at < m_text.size() && m_text[m_at] == c; }

    bool element(Location& location, int depth)
    {
        if (depth > kMaxDepth)
            return false;
        if (take("complement(")) {
            location.kind = Location::Kind::Complement;
            location.parts.resize(1);
            return element(location.parts[0], depth + 1) && take(")");
        }
        for (const auto& [name, kind] : kGroups) {
            if (m_text.substr(m_at, name.size() + 1) == std::string(name) + "(") {
                m_at += name.size() + 1;
                location.kind = kind;
                do {
                    if (!element(location.parts.emplace_back(), depth + 1))
                        return false;
                } while (take(","));
                return take(")");
            }
        }
        if (take("gap(")) {
            location.kind = Location::Kind::Gap;
            const size_t close = m_text.find(')', m_at);
            if (close == std::string_view::npos)
                return false;
            location.gap = m_text.substr(m_at, close - m_at);
            m_at = close + 1;
            return location.gap.find_first_of("(,") == std::string::npos;
        }
        if (m_at < m_text.size() && isLetter(m_text[m_at]) && !peekOneOf() &&
            !accession(location.accession))
            return false;
        return span(location);
    }

    bool peekOneOf() const { return m_text.substr(m_at, 7) == "one-of("; }

    // "J00194.1:" before a span on another record.
    bool accession(std::string& name)
    {
        const size_t colon = m_text.find(':', m_at);
        if (colon == std::string_view::npos)
            return false;
        name = m_text.substr(m_at, colon - m_at);
        m_at = colon + 1;
        return std::all_of(name.begin(), name.end(), [](char c) {
            return isLetter(c) || isDigit(c) || c == '_' || c == '.';
        });
    }

    bool span(Location& location)
    {
        location.kind = Location::Kind::Range;
        if (!position(location.from))
            return false;
        if (take("..")) {
            location.ranged = true;
            if (!position(location.to))
                return false;
            // A trailing ">" (as IMGT writes "<1..546>") marks the end partial too.
            if (location.to.fuzz == Position::Fuzz::Exact && peek('>') &&
                (m_at + 1 == m_text.size() || m_text[m_at + 1] == ',' || m_text[m_at + 1] == ')')) {
                ++m_at;
                location.to.fuzz = Position::Fuzz::After;
            }
            return true;
        }
        if (take("^")) {
            location.kind = Location::Kind::Between;
            return location.from.fuzz == Position::Fuzz::Exact && position(location.to) &&
                   location.to.fuzz == Position::Fuzz::Exact;
        }
        // "102.110": one base somewhere within.
        if (location.from.fuzz == Position::Fuzz::Exact && peek('.')) {
            ++m_at;
            location.from.fuzz = Position::Fuzz::Within;
            if (!number(location.from.others.emplace_back()))
                return false;
        }
        location.to = location.from;
        return true;
    }

    bool position(Position& position)
    {
        if (take("<")) {
            position.fuzz = Position::Fuzz::Before;
        } else if (take(">")) {
            position.fuzz = Position::Fuzz::After;
        } else if (take("?")) {
            if (m_at == m_text.size() || !isDigit(m_text[m_at])) {
                position.fuzz = Position::Fuzz::Unknown;
                return true;
            }
            position.fuzz = Position::Fuzz::Uncertain;
        } else if (take("(")) {
            position.fuzz = Position::Fuzz::Within;
            return number(position.value) && take(".") && number(position.others.emplace_back()) &&
                   take(")");
        } else if (take("one-of(")) {
            position.fuzz = Position::Fuzz::OneOf;
            if (!number(position.value))
                return false;
            while (take(",")) {
                if (!number(position.others.emplace_back()))
                    return false;
            }
            return !position.others.empty() && take(")");
        }
        return number(position.value);
    }

    bool number(long long& value)
    {
        const size_t begin = m_at;
        while (m_at < m_text.size() && isDigit(m_text[m_at]) && m_at - begin < kMaxDigits)
            ++m_at;
        if (m_at == begin || (m_at < m_text.size() && isDigit(m_text[m_at])))
            return false;
        value = std::stoll(std::string(m_text.substr(begin, m_at - begin)));
        return true;
    }

    std::string_view m_text;
    size_t m_at = 0;
};

void appendPosition(std::string& out, const Position& position, bool alone)
{
    using Fuzz = Position::Fuzz;
    const std::string value = std::to_string(position.value);
    switch (position.fuzz) {
    case Fuzz::Exact:
        out += value;
        break;
    case Fuzz::Before:
        out += "<" + value;
        break;
    case Fuzz::After:
        out += ">" + value;
        break;
    case Fuzz::Within: {
        const std::string inner = value + "." + std::to_string(position.others.at(0));
        out += alone ? inner : "(" + inner + ")";
        break;
    }
    case Fuzz::OneOf:
        out += "one-of(" + value;
        for (long long other : position.others)
            out += "," + std::to_string(other);
        out += ")";
        break;
    case Fuzz::Unknown:
        out += "?";
        break;
    case Fuzz::Uncertain:
        out += "?" + value;
        break;
    }
}

void appendLocation(std::string& out, const Location& location)
{
    switch (location.kind) {
    case Location::Kind::Range:
    case Location::Kind::Between:
        if (!location.accession.empty())
            out += location.accession + ":";
        appendPosition(out, location.from, !location.ranged);
        if (location.kind == Location::Kind::Between) {
            out += "^";
            appendPosition(out, location.to, false);
        } else if (location.ranged) {
            out += "..";
            appendPosition(out, location.to, false);
        }
        return;
    case Location::Kind::Gap:
        out += "gap(" + location.gap + ")";
        return;
    case Location::Kind::Complement:
        out += "complement(";
        break;
    case Location::Kind::Join:
    case Location::Kind::Order:
    case Location::Kind::Bond:
        for (const auto& [name, kind] : kGroups) {
            if (kind == location.kind)
                out += std::string(name) + "(";
        }
        break;
    }
    for (size_t i = 0; i < location.parts.size(); ++i) {
        if (i > 0)
            out += ",";
        appendLocation(out, location.parts[i]);
    }
    out += ")";
}

// Calls visit on every position of the location, with whether it lies on another record.
template <typename Visit> bool anyPosition(const Location& location, const Visit& visit)
{
    if (location.kind == Location::Kind::Range || location.kind == Location::Kind::Between) {
        const bool remote = !location.accession.empty();
        return visit(location.from, remote) ||
               ((location.ranged || location.kind == Location::Kind::Between) &&
                visit(location.to, remote));
    }
    return std::any_of(location.parts.begin(), location.parts.end(),
                       [&](const Location& part) { return anyPosition(part, visit); });
}

char complementOf(char base)
{
    static constexpr std::string_view kFrom = "ACGTUMRWSYKVHDBN";
    static constexpr std::string_view kTo = "TGCAAKYWSRMBDHVN";
    const size_t at = kFrom.find(base);
    return at == std::string_view::npos ? 'N' : kTo[at];
}

bool splice(const Location& location, std::string_view sequence, std::string& residues,
            std::string& error)
{
    using Kind = Location::Kind;
    switch (location.kind) {
    case Kind::Join:
    case Kind::Order:
        return std::all_of(location.parts.begin(), location.parts.end(), [&](const auto& part) {
            return splice(part, sequence, residues, error);
        });
    case Kind::Complement: {
        std::string inner;
        if (!splice(location.parts.at(0), sequence, inner, error))
            return false;
        if (residues.size() + inner.size() > sequence.size()) {
            error = "the location names more residues than the sequence's " +
                    std::to_string(sequence.size());
            return false;
        }
        for (auto base = inner.rbegin(); base != inner.rend(); ++base)
            residues += complementOf(*base);
        return true;
    }
    case Kind::Range:
        break;
    case Kind::Between:
    case Kind::Gap:
    case Kind::Bond:
        error = locationText(location) + " names no residues";
        return false;
    }
    const long long first = location.from.value;
    const long long last = location.to.value;
    const auto size = static_cast<long long>(sequence.size());
    if (!location.accession.empty()) {
        error = locationText(location) + " lies in another record";
    } else if (location.from.fuzz == Position::Fuzz::Unknown ||
               location.to.fuzz == Position::Fuzz::Unknown) {
        error = locationText(location) + " has an unknown end";
    } else if (first < 1 || first > last || last > size) {
        error = locationText(location) + " lies outside the " + std::to_string(size) +
                " residues of the sequence";
    } else if (static_cast<long long>(residues.size()) + last - first + 1 > size) {
        // However a location repeats itself, it takes no more than the record holds.
        error = "the location names more residues than the sequence's " + std::to_string(size);
    } else {
        residues.append(
            sequence.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1)));
        return true;
    }
    return false;
}

} // namespace

bool spliceLocation(const Location& location, std::string_view sequence, std::string& residues,
                    std::string& error)
{
    residues.clear();
    return splice(location, sequence, residues, error);
}

bool parseLocation(std::string_view text, Location& location, std::string& error)
{
    std::string compact(text);
    std::erase_if(compact, [](char c) { return c == ' ' || c == '\t'; });
    location = Location();
    return Parser(compact).parse(location, error);
}

std::string locationText(const Location& location)
{
    std::string out;
    appendLocation(out, location);
    return out;
}

bool isPartial(const Location& location)
{
    return anyPosition(location, [](const Position& position, bool) {
        return position.fuzz != Position::Fuzz::Exact;
    });
}

bool isRemote(const Location& location)
{
    return anyPosition(location, [](const Position&, bool remote) { return remote; });
}

const Position* positionOutside(const Location& location, long long length)
{
    const Position* found = nullptr;
    anyPosition(location, [&](const Position& position, bool remote) {
        if (remote || position.fuzz != Position::Fuzz::Exact ||
            (position.value >= 1 && position.value <= length))
            return false;
        found = &position;
        return true;
    });
    return found;
}

} // namespace Dbscout::Records
