// MEDLINE citations as PubMed exports them: "TAG - value" lines, the tag padded to four
// characters, values continued on lines that start with six blanks.

#include "formats.h"
#include "platform/blanks.h"
#include "text_lines.h"

namespace Dbscout::Records {
namespace {

constexpr size_t kValueWidth = 80 - 6;

bool isTagLine(std::string_view line)
{
    return line.size() >= 6 && line.substr(4, 2) == "- " && !isLineBlank(line[0]);
}

void tagged(std::string& out, std::string_view tag, std::string_view value)
{
    std::string head(tag);
    head.resize(4, ' ');
    writeLines(out, head + "- ", "      ", wrapAtBlanks(value, kValueWidth));
}

class MedlineReader
{
public:
    explicit MedlineReader(Citation& citation) : m_citation(citation) {}

    Outcome take(std::string_view line, size_t number)
    {
        if (line.starts_with("      ") && m_tagSeen) {
            if (m_field)
                appendJoined(*m_field, line);
            return Outcome::done();
        }
        if (!isTagLine(line))
            return Outcome::failed(number, "\"" + std::string(line.substr(0, 40)) +
                                               "\" is no MEDLINE field");
        m_tagSeen = true;
        const std::string_view tag = trimmed(line.substr(0, 4), kLineBlanks);
        const std::string_view value = trimmed(line.substr(6), kLineBlanks);
        if (tag == "PMID")
            return pmid(value, number);
        m_field = nullptr;
        if (tag == "AU")
            m_field = &m_citation.authors.emplace_back();
        else if (tag == "DP" && value.size() >= 4 && wholeNumber(value.substr(0, 4)) >= 0)
            m_citation.year = value.substr(0, 4);
        constexpr std::string_view kTags[] = {"TI", "AB", "TA", "JT", "VI", "IP", "PG"};
        std::string* const fields[] = {&m_citation.title, &m_citation.abstract, &m_citation.journal,
                                       &m_journalTitle,   &m_citation.volume,   &m_citation.issue,
                                       &m_citation.pages};
        for (size_t i = 0; i < std::size(kTags); ++i) {
            if (tag == kTags[i])
                m_field = fields[i];
        }
        if (m_field)
            appendJoined(*m_field, value);
        return Outcome::done();
    }

    Outcome finish()
    {
        if (m_citation.pmid.empty())
            return Outcome::failed(0, "the citation has no PMID");
        if (m_citation.journal.empty())
            m_citation.journal = m_journalTitle;
        return Outcome::done();
    }

private:
    Outcome pmid(std::string_view value, size_t number)
    {
        if (!m_citation.pmid.empty())
            return Outcome::failed(number, "a second PMID in one citation");
        if (wholeNumber(value) < 0)
            return Outcome::failed(number, "the PMID \"" + std::string(value) + "\" is no number");
        m_citation.pmid = value;
        m_field = nullptr;
        return Outcome::done();
    }

    Citation& m_citation;
    std::string m_journalTitle;
    bool m_tagSeen = false;
    std::string* m_field = nullptr; // the field that continuation lines go on with, if kept
};

} // namespace

Outcome readMedline(std::string_view text, size_t firstLine, Record& record)
{
    record = Record(Format::Medline, RecordKind::Citation);
    MedlineReader reader(record.citation);
    Outcome outcome = eachLine(text, firstLine, [&reader](std::string_view line, size_t number) {
        return trimmed(line, kLineBlanks).empty() ? Outcome::done() : reader.take(line, number);
    });
    if (outcome.ok())
        outcome = reader.finish();
    if (!outcome.ok())
        return outcome;
    record.name = "PMID:" + record.citation.pmid;
    record.accessions = {record.citation.pmid};
    record.description = record.citation.title;
    return Outcome::done();
}

std::string writeMedline(const Record& record)
{
    const Citation& citation = record.citation;
    std::string out = "PMID- " + citation.pmid + "\n";
    const std::pair<const char*, const std::string*> fields[] = {
        {"TI", &citation.title},  {"AB", &citation.abstract}, {"TA", &citation.journal},
        {"VI", &citation.volume}, {"IP", &citation.issue},    {"PG", &citation.pages},
        {"DP", &citation.year}};
    for (const auto& [tag, value] : fields) {
        if (!value->empty())
            tagged(out, tag, *value);
    }
    for (const std::string& author : citation.authors)
        tagged(out, "AU", author);
    return out;
}

} // namespace Dbscout::Records
