#include "derive/feature_table.h"

#include "import/text_lines.h"

#include <algorithm>
#include <cctype>

namespace Dbscout::Molb {
namespace {

Status bad(const std::string& message)
{
    return Status::fail(ErrorCode::BadRequest, message);
}

// Column where a feature's key ends and its location or qualifiers begin, after the prefix.
constexpr size_t kQualifierColumn = 16;

// Gathers feature lines (without their GenBank indent or EMBL "FT   " prefix) into features: a
// line with a key starts one, every other line continues its location or qualifiers.
class FeatureReader
{
public:
    void line(std::string_view content)
    {
        const std::string_view key =
            trim(content.substr(0, std::min(content.size(), kQualifierColumn)));
        const std::string_view rest = content.size() > kQualifierColumn
                                          ? trim(content.substr(kQualifierColumn))
                                          : std::string_view();
        if (!key.empty()) {
            finish();
            m_isCds = key == "CDS";
            m_location = rest;
            m_inLocation = true;
            return;
        }
        if (!m_isCds)
            return;
        if (rest.starts_with('/'))
            m_inLocation = false;
        if (m_inLocation)
            m_location += rest;
        else if (rest.starts_with('/'))
            m_qualifiers.emplace_back(rest.substr(1));
        else if (!m_qualifiers.empty())
            appendJoined(m_qualifiers.back(), rest);
    }

    void finish()
    {
        if (m_isCds) {
            CodingSequence cds;
            cds.location = m_location;
            for (const std::string& qualifier : m_qualifiers)
                take(qualifier, cds);
            m_found.push_back(std::move(cds));
        }
        m_isCds = false;
        m_location.clear();
        m_qualifiers.clear();
    }

    std::vector<CodingSequence>& found() { return m_found; }

private:
    static void take(std::string_view qualifier, CodingSequence& cds)
    {
        const size_t equals = qualifier.find('=');
        const std::string_view name = qualifier.substr(0, equals);
        std::string_view value =
            equals == std::string_view::npos ? std::string_view() : qualifier.substr(equals + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (name == "product")
            cds.product = value;
        else if (name == "codon_start")
            cds.codonStart = static_cast<int>(wholeNumber(value));
        else if (name == "transl_table")
            cds.geneticCode = static_cast<int>(wholeNumber(value));
    }

    bool m_isCds = false;
    bool m_inLocation = false;
    std::string m_location;
    std::vector<std::string> m_qualifiers;
    std::vector<CodingSequence> m_found;
};

void appendLetters(std::string& out, std::string_view line)
{
    for (char c : line) {
        if (std::isalpha(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
}

char complementOf(char base)
{
    static constexpr std::string_view kFrom = "ACGTUMRWSYKVHDBN";
    static constexpr std::string_view kTo = "TGCAAKYWSRMBDHVN";
    const size_t at = kFrom.find(base);
    return at == std::string_view::npos ? 'N' : kTo[at];
}

// Recursive descent over the location grammar.
class LocationParser
{
public:
    LocationParser(std::string_view text, const std::string& sequence)
        : m_text(text), m_sequence(sequence)
    {}

    Status parse(std::string& bases)
    {
        Status status = element(bases);
        if (status.ok() && m_at != m_text.size())
            return bad("the location \"" + std::string(m_text) + "\" has text after its end");
        return status;
    }

private:
    bool take(std::string_view word)
    {
        if (m_text.substr(m_at, word.size()) != word)
            return false;
        m_at += word.size();
        return true;
    }

    Status element(std::string& bases)
    {
        if (take("complement(")) {
            std::string inner;
            Status status = element(inner);
            if (status.ok() && !take(")"))
                status = bad("a complement( of the location is not closed");
            std::reverse(inner.begin(), inner.end());
            for (char& base : inner)
                base = complementOf(base);
            bases += inner;
            return status;
        }
        if (take("join(") || take("order(")) {
            do {
                if (Status status = element(bases); !status.ok())
                    return status;
            } while (take(","));
            return take(")") ? Status::pass() : bad("a join( of the location is not closed");
        }
        return range(bases);
    }

    Status number(long long& value)
    {
        take("<") || take(">");
        const size_t begin = m_at;
        while (m_at < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_at])))
            ++m_at;
        value = wholeNumber(m_text.substr(begin, m_at - begin));
        if (value < 1)
            return bad("the location \"" + std::string(m_text) +
                       "\" is not one the store can follow (another record, or a site between "
                       "bases)");
        return Status::pass();
    }

    Status range(std::string& bases)
    {
        long long first = 0;
        long long last = 0;
        Status status = number(first);
        last = first;
        if (status.ok() && take(".."))
            status = number(last);
        if (!status.ok())
            return status;
        if (first > last || last > static_cast<long long>(m_sequence.size()))
            return bad("the location " + std::to_string(first) + ".." + std::to_string(last) +
                       " lies outside the sequence of " + std::to_string(m_sequence.size()) +
                       " bases");
        bases.append(m_sequence, static_cast<size_t>(first - 1),
                     static_cast<size_t>(last - first + 1));
        return Status::pass();
    }

    std::string_view m_text;
    const std::string& m_sequence;
    size_t m_at = 0;
};

} // namespace

Status readNucleotideRecord(std::string_view text, NucleotideRecord& record)
{
    record = NucleotideRecord();
    enum class Section { Header, Features, Sequence } section = Section::Header;
    FeatureReader features;
    bool known = false;
    LineReader lines(text);
    std::string_view line;
    while (lines.next(line) && !startsWith(line, "//")) {
        if (startsWith(line, "LOCUS") || startsWith(line, "ID   ")) {
            known = true;
        } else if (startsWith(line, "FEATURES")) {
            section = Section::Features;
        } else if (startsWith(line, "FT   ")) {
            features.line(line.substr(5));
        } else if (startsWith(line, "ORIGIN") || startsWith(line, "SQ   ")) {
            section = Section::Sequence;
        } else if (section == Section::Sequence) {
            appendLetters(record.sequence, line);
        } else if (section == Section::Features && startsWith(line, "     ")) {
            features.line(line.substr(5));
        } else if (section == Section::Features) {
            section = Section::Header;
        }
    }
    features.finish();
    if (!known)
        return bad("the parent is not a GenBank or EMBL record");
    if (record.sequence.empty())
        return bad("the parent record holds no sequence");
    record.codingSequences = std::move(features.found());
    return Status::pass();
}

Status spliceLocation(std::string_view location, const std::string& sequence, std::string& bases)
{
    bases.clear();
    return LocationParser(location, sequence).parse(bases);
}

} // namespace Dbscout::Molb
