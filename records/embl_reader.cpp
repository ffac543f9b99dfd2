// EMBL entries and UniProt text: a two-letter line code, three blanks, the value; the feature
// table under "FT" and the residues after "SQ". The ID line tells the formats apart: UniProt
// names its entry's status (Reviewed, Unreviewed, or the older STANDARD and PRELIMINARY).

#include "entry_fields.h"
#include "feature_table.h"
#include "formats.h"
#include "platform/blanks.h"
#include "text_lines.h"

#include <algorithm>
#include <optional>

namespace Dbscout::Records {
namespace {

constexpr std::string_view kStatuses[] = {"Reviewed", "Unreviewed", "STANDARD", "PRELIMINARY"};

std::string_view clean(std::string_view text)
{
    return trimmed(text, kLineBlanks);
}

// The version number that text starts with, after blanks; empty when it starts with none.
std::string_view versionNumber(std::string_view text)
{
    text = clean(text);
    return text.substr(0, std::min(text.size(), text.find_first_not_of("0123456789")));
}

// Everything after the "{" of an evidence tag goes: "Cytochrome c {ECO:0000269}".
std::string_view withoutEvidence(std::string_view text)
{
    return clean(text.substr(0, text.find(" {")));
}

class EmblReader
{
public:
    EmblReader(Record& record, size_t textSize) : m_record(record), m_textSize(textSize) {}

    bool started() const { return m_idSeen; }

    Outcome take(std::string_view line, size_t number)
    {
        if (clean(line).empty())
            return Outcome::done();
        const std::string_view code = line.substr(0, 2);
        if (!m_idSeen && code != "ID")
            return Outcome::failed(number, "the record does not start with an ID line");
        const std::string_view value = line.size() > 5 ? line.substr(5) : std::string_view();
        if (isLineBlank(line[0])) {
            if (!m_inSequence)
                return Outcome::failed(number, "a line without its line code");
            return appendResidues(line, number, m_record.sequence);
        }
        m_inSequence = false;
        if (code == "ID") {
            if (m_idSeen)
                return Outcome::failed(number, "a second ID line before the record's \"//\"");
            m_idSeen = true;
            return id(line.substr(2), number);
        }
        if (code == "FT")
            return m_features->line(value, number);
        if (code == "SQ") {
            m_inSequence = true;
            m_sequenceLine = number;
        } else if (code.size() == 2 && code[0] == 'R') {
            reference(code[1], value);
        } else {
            field(code, value);
        }
        return Outcome::done();
    }

    Outcome finish()
    {
        m_record.accessions.clear();
        for (std::string& accession : listItems(m_accessions))
            m_record.accessions.push_back(std::move(accession));
        if (m_record.version.empty() && !m_sequenceVersion.empty() && !m_record.accessions.empty())
            m_record.version = m_record.accession() + "." + m_sequenceVersion;
        m_record.keywords = listItems(m_keywords);
        m_record.taxonomy = listItems(m_lineage);
        finishReferences();
        finishDescription();
        if (m_record.format == Format::UniProt)
            m_record.organism = withoutFinal(m_record.organism, '.');
        if (Outcome outcome = checkLength(m_record, m_sequenceLine); !outcome.ok())
            return outcome;
        return m_features->finish(m_record.countsRecords ? 0 : m_record.length, m_record.features);
    }

private:
    // "ID   X56734; SV 1; linear; mRNA; STD; PLN; 1859 BP.", the older
    // "ID   HSBGPG     standard; DNA; HUM; 1526 BP." and UniProt's
    // "ID   CYC_HUMAN               Reviewed;         105 AA."
    Outcome id(std::string_view text, size_t number)
    {
        text = withoutFinal(clean(text), '.');
        std::vector<std::string> fields;
        for (size_t start = 0; start <= text.size();) {
            const size_t end = std::min(text.find(';', start), text.size());
            fields.emplace_back(clean(text.substr(start, end - start)));
            start = end + 1;
        }
        const std::vector<std::string_view> head = words(fields[0]);
        if (head.empty())
            return Outcome::failed(number, "the ID line names no entry");
        m_record.name = head[0];
        const std::vector<std::string_view> size = words(fields.back());
        const std::string unit = size.size() == 2 ? std::string(size[1]) : std::string();
        if (fields.size() < 2 || wholeNumber(size.empty() ? "" : size[0]) < 0 ||
            (unit != "BP" && unit != "AA" && unit != "SQ"))
            return Outcome::failed(number, "the ID line of \"" + m_record.name +
                                               "\" gives no length in BP, AA or SQ");
        m_record.length = wholeNumber(size[0]);
        // Room for the residues at once: no more than the text can hold, whatever it declares.
        m_record.sequence.reserve(std::min(static_cast<size_t>(m_record.length), m_textSize));
        m_record.countsRecords = unit == "SQ";
        if (head.size() > 1 &&
            std::find(std::begin(kStatuses), std::end(kStatuses), head[1]) != std::end(kStatuses)) {
            m_record.format = Format::UniProt;
            m_record.division = head[1];
            m_record.kind = RecordKind::Protein;
            m_record.molecule = "protein";
            if (unit == "BP")
                return Outcome::failed(number, "a UniProt entry counts its length in AA");
        } else {
            emblId(fields);
            const bool protein = m_record.molecule == "protein" || m_record.molecule == "PRT";
            m_record.kind = unit == "AA" || (unit == "SQ" && protein) ? RecordKind::Protein
                                                                      : RecordKind::Nucleotide;
        }
        m_features.emplace(m_record.format == Format::UniProt);
        return Outcome::done();
    }

    void emblId(const std::vector<std::string>& fields)
    {
        m_record.format = Format::Embl;
        if (fields.size() == 7) {
            // "SV 2", or nothing where the ID line leaves the field empty.
            const std::string_view version = fields[1];
            if (version.starts_with("SV"))
                m_sequenceVersion = versionNumber(version.substr(2));
            m_record.topology = topologyNamed(fields[2]);
            m_record.molecule = fields[3];
            m_record.division = fields[5];
        } else if (fields.size() >= 3) {
            m_record.molecule = fields[1];
            if (fields.size() >= 4)
                m_record.division = fields[fields.size() - 2];
        }
    }

    void reference(char code, std::string_view text)
    {
        if (code == 'N') {
            std::string_view number = clean(text);
            if (number.starts_with('[') && number.find(']') != std::string_view::npos)
                number = number.substr(1, number.find(']') - 1);
            m_record.references.emplace_back().number = number;
            return;
        }
        if (m_record.references.empty())
            return;
        Reference& reference = m_record.references.back();
        std::string* const fields[] = {&reference.span,    &reference.remark, &reference.consortium,
                                       &reference.authors, &reference.title,  &reference.journal,
                                       &m_pubmedLine};
        constexpr std::string_view kCodes = "PCGATLX";
        if (const size_t at = kCodes.find(code); at != std::string_view::npos)
            appendJoined(*fields[at], text);
        if (code == 'X')
            pubmed(reference);
    }

    // "RX   PUBMED; 1907511." or "RX   PubMed=2830000; DOI=10.1016/0092-8674(88)90159-6;"
    void pubmed(Reference& reference)
    {
        for (const std::string_view mark : {"PUBMED;", "PubMed="}) {
            const size_t at = m_pubmedLine.find(mark);
            if (at == std::string::npos)
                continue;
            const std::string_view rest = clean(std::string_view(m_pubmedLine).substr(at + 7));
            reference.pubmed = rest.substr(0, rest.find_first_not_of("0123456789"));
        }
        m_pubmedLine.clear();
    }

    void field(std::string_view code, std::string_view text)
    {
        if (code == "AC")
            appendJoined(m_accessions, text);
        else if (code == "SV")
            m_record.version = clean(text);
        else if (code == "DE")
            appendJoined(m_record.description, text);
        else if (code == "KW")
            appendJoined(m_keywords, text);
        else if (code == "OS")
            appendJoined(m_record.organism, text);
        else if (code == "OC")
            appendJoined(m_lineage, text);
        else if (code == "DT")
            date(clean(text));
    }

    // EMBL: "02-JUN-1989 (Rel. 19, Created)"; UniProt: "13-AUG-1987, integrated into
    // UniProtKB/Swiss-Prot." and "22-AUG-2003, sequence version 2."
    void date(std::string_view text)
    {
        const std::vector<std::string_view> parts = words(text);
        const std::string_view day = parts.empty() ? "" : withoutFinal(parts[0], ',');
        if (isEntryDate(day)) {
            const bool created = text.find("Created") != std::string_view::npos ||
                                 text.find("integrated") != std::string_view::npos;
            (created ? m_record.created : m_record.updated) = day;
        }
        if (const size_t at = text.find("sequence version "); at != std::string_view::npos)
            m_sequenceVersion = versionNumber(text.substr(at + 17));
    }

    void finishReferences()
    {
        for (Reference& reference : m_record.references) {
            reference.authors = withoutFinal(reference.authors, ';');
            std::string_view title = withoutFinal(reference.title, ';');
            if (title.size() >= 2 && title.starts_with('"') && title.ends_with('"'))
                title = title.substr(1, title.size() - 2);
            reference.title = title;
        }
    }

    // UniProt's structured description gives the recommended (or submitted) full name.
    void finishDescription()
    {
        if (m_record.format != Format::UniProt)
            return;
        std::string_view text = m_record.description;
        for (const std::string_view key : {"RecName: Full=", "SubName: Full="}) {
            if (text.starts_with(key)) {
                const std::string_view full = text.substr(key.size());
                m_record.description = withoutEvidence(full.substr(0, full.find(';')));
                return;
            }
        }
        m_record.description = withoutFinal(text, '.');
    }

    Record& m_record;
    size_t m_textSize;
    bool m_idSeen = false;
    bool m_inSequence = false;
    size_t m_sequenceLine = 0;
    std::string m_accessions;
    std::string m_keywords;
    std::string m_lineage;
    std::string m_sequenceVersion;
    std::string m_pubmedLine;
    std::optional<FeatureTableReader> m_features;
};

} // namespace

Outcome readEmbl(std::string_view text, size_t firstLine, Record& record)
{
    // UniProt entries are read here too: their ID line says what they are.
    return readEntry<EmblReader>(text, firstLine, record, Format::Embl, "ID");
}

} // namespace Dbscout::Records
