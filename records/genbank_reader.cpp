// GenBank and GenPept records: keywords in the first twelve columns, sub-keywords indented
// within them, continuation lines with twelve blanks, the feature table and the residues.

#include "entry_fields.h"
#include "feature_table.h"
#include "formats.h"
#include "platform/blanks.h"
#include "text_lines.h"

#include <algorithm>

namespace Dbscout::Records {
namespace {

constexpr size_t kValueColumn = 12;

constexpr std::string_view kDivisions[] = {"PRI", "ROD", "MAM", "VRT", "INV", "PLN", "BCT",
                                           "VRL", "PHG", "SYN", "UNA", "EST", "PAT", "STS",
                                           "GSS", "HTG", "HTC", "ENV", "CON", "TSA"};

bool isDivision(std::string_view word)
{
    return std::find(std::begin(kDivisions), std::end(kDivisions), word) != std::end(kDivisions);
}

class GenBankReader
{
public:
    GenBankReader(Record& record, size_t textSize) : m_record(record), m_textSize(textSize) {}

    bool started() const { return m_locusSeen; }

    Outcome take(std::string_view line, size_t number)
    {
        if (!m_locusSeen && trimmed(line, kLineBlanks).empty())
            return Outcome::done();
        if (!m_locusSeen && !line.starts_with("LOCUS"))
            return Outcome::failed(number, "the record does not start with a LOCUS line");
        if (!line.empty() && !isLineBlank(line[0]))
            return keyword(line, number);
        if (m_section == Section::Features) {
            if (line.substr(0, 5) != "     " && !trimmed(line, kLineBlanks).empty())
                return Outcome::failed(number, "a feature line starts without its five blanks");
            return m_features.line(line.substr(std::min<size_t>(5, line.size())), number);
        }
        if (m_section == Section::Origin)
            return appendResidues(line, number, m_record.sequence);
        // A sub-keyword stands within the first twelve columns; a continuation has none.
        if (trimmed(line.substr(0, kValueColumn), kLineBlanks).empty())
            return value(line, number, true);
        m_field = words(line).front();
        return value(afterWord(line, m_field), number, false);
    }

    static std::string_view afterWord(std::string_view line, std::string_view word)
    {
        return line.substr(line.find(word) + word.size());
    }

    Outcome finish()
    {
        if (m_record.description.ends_with('.'))
            m_record.description.pop_back();
        m_record.keywords = listItems(m_keywords);
        m_record.taxonomy = listItems(m_lineage);
        if (Outcome outcome = checkLength(m_record, m_originLine); !outcome.ok())
            return outcome;
        return m_features.finish(m_record.countsRecords ? 0 : m_record.length, m_record.features);
    }

private:
    enum class Section { Header, Features, Origin };

    Outcome keyword(std::string_view line, size_t number)
    {
        m_field = words(line).front();
        m_section = Section::Header;
        if (m_field == "LOCUS") {
            if (m_locusSeen)
                return Outcome::failed(number, "a second LOCUS line before the record's \"//\"");
            m_locusSeen = true;
            return locus(line, number);
        }
        if (m_field == "FEATURES") {
            m_section = Section::Features;
            return Outcome::done();
        }
        if (m_field == "ORIGIN") {
            m_section = Section::Origin;
            m_originLine = number;
            return Outcome::done();
        }
        if (m_field == "REFERENCE") {
            Reference& reference = m_record.references.emplace_back();
            const std::string_view rest = afterWord(line, m_field);
            const std::vector<std::string_view> parts = words(rest);
            if (!parts.empty())
                reference.number = parts[0];
            std::string_view span = trimmed(rest, kLineBlanks).substr(reference.number.size());
            span = trimmed(span, kLineBlanks);
            if (span.starts_with('(') && span.ends_with(')'))
                span = span.substr(1, span.size() - 2);
            reference.span = span;
            return Outcome::done();
        }
        return value(afterWord(line, m_field), number, false);
    }

    // "LOCUS       SCU49845     5028 bp    DNA     circular PLN  21-JUN-1999"
    Outcome locus(std::string_view line, size_t number)
    {
        const std::vector<std::string_view> tokens = words(line);
        if (tokens.size() < 2)
            return Outcome::failed(number, "the LOCUS line names no locus");
        m_record.name = tokens[1];
        size_t unit = 0;
        for (size_t i = 3; i < tokens.size() && unit == 0; ++i) {
            if (wholeNumber(tokens[i - 1]) >= 0 &&
                (tokens[i] == "bp" || tokens[i] == "aa" || tokens[i] == "rc"))
                unit = i;
        }
        if (unit == 0)
            return Outcome::failed(number, "the LOCUS line of \"" + m_record.name +
                                               "\" gives no length in bp, aa or rc");
        m_record.length = wholeNumber(tokens[unit - 1]);
        // Room for the residues at once: no more than the text can hold, whatever it declares.
        m_record.sequence.reserve(std::min(static_cast<size_t>(m_record.length), m_textSize));
        m_record.kind = tokens[unit] == "aa" ? RecordKind::Protein : RecordKind::Nucleotide;
        m_record.countsRecords = tokens[unit] == "rc";
        if (m_record.kind == RecordKind::Protein)
            m_record.molecule = "protein";
        for (size_t i = unit + 1; i < tokens.size(); ++i) {
            const std::string_view token = tokens[i];
            if (isEntryDate(token))
                m_record.updated = token;
            else if (topologyNamed(token) != Topology::Unknown)
                m_record.topology = topologyNamed(token);
            else if (isDivision(token))
                m_record.division = token;
            else if (m_record.molecule.empty())
                m_record.molecule = token;
        }
        return Outcome::done();
    }

    // The value of the current field or sub-field on one line; continued when it is not the
    // field's first line.
    Outcome value(std::string_view text, size_t number, bool continued)
    {
        if (m_field == "REFERENCE" || m_field == "ORIGIN")
            return Outcome::done();
        if (m_field == "DEFINITION")
            appendJoined(m_record.description, text);
        else if (m_field == "ACCESSION")
            for (std::string_view word : words(text))
                m_record.accessions.emplace_back(word);
        else if (m_field == "VERSION")
            version(text);
        else if (m_field == "KEYWORDS")
            appendJoined(m_keywords, text);
        else if (m_field == "ORGANISM")
            organism(text, continued);
        else if (!m_record.references.empty())
            referenceField(text);
        return Outcome::done();
    }

    void version(std::string_view text)
    {
        for (std::string_view word : words(text)) {
            if (word.starts_with("GI:"))
                m_record.gi = word.substr(3);
            else if (m_record.version.empty())
                m_record.version = word;
        }
    }

    // The organism's name, then its lineage: lines of names separated by ";" ending in ".".
    void organism(std::string_view text, bool continued)
    {
        const bool nameGoesOn = continued && m_lineage.empty() &&
                                text.find(';') == std::string_view::npos &&
                                !trimmed(text, kLineBlanks).ends_with('.');
        if (!continued || nameGoesOn)
            appendJoined(m_record.organism, text);
        else
            appendJoined(m_lineage, text);
    }

    void referenceField(std::string_view text)
    {
        Reference& reference = m_record.references.back();
        std::string* const fields[] = {&reference.authors, &reference.consortium,
                                       &reference.title,   &reference.journal,
                                       &reference.pubmed,  &reference.remark};
        constexpr std::string_view kNames[] = {"AUTHORS", "CONSRTM", "TITLE",
                                               "JOURNAL", "PUBMED",  "REMARK"};
        for (size_t i = 0; i < std::size(kNames); ++i) {
            if (m_field == kNames[i])
                appendJoined(*fields[i], text);
        }
    }

    Record& m_record;
    size_t m_textSize;
    bool m_locusSeen = false;
    Section m_section = Section::Header;
    std::string m_field; // the keyword or sub-keyword that the value lines belong to
    std::string m_keywords;
    std::string m_lineage;
    size_t m_originLine = 0;
    FeatureTableReader m_features;
};

} // namespace

Outcome readGenBank(std::string_view text, size_t firstLine, Record& record)
{
    return readEntry<GenBankReader>(text, firstLine, record, Format::GenBank, "LOCUS");
}

} // namespace Dbscout::Records
