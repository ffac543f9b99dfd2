// BLAST reports in XML: the run's facts and every hit of every iteration with its HSPs. BLAST+
// writes two formats, BlastOutput and BlastXML2, whose elements say the same under other names.

#include "formats.h"
#include "platform/blanks.h"
#include "text_lines.h"
#include "xml_scanner.h"

#include <algorithm>
#include <initializer_list>

namespace Dbscout::Records {
namespace {

enum class Role {
    Program,
    Version,
    Database,
    QueryId,
    QueryDefinition,
    QueryLength,
    Hit,
    HitId,
    HitDefinition,
    HitAccession,
    HitLength,
    Hsp,
    BitScore,
    Evalue,
    Identities,
    AlignLength,
};

// The BlastOutput name, the BlastXML2 name, and the role of both, in the order of Role.
struct Element
{
    std::string_view output;
    std::string_view xml2;
    Role role;
};

constexpr Element kElements[] = {
    {"BlastOutput_program", "program", Role::Program},
    {"BlastOutput_version", "version", Role::Version},
    {"BlastOutput_db", "db", Role::Database},
    {"BlastOutput_query-ID", "query-id", Role::QueryId},
    {"BlastOutput_query-def", "query-title", Role::QueryDefinition},
    {"BlastOutput_query-len", "query-len", Role::QueryLength},
    {"Hit", "Hit", Role::Hit},
    {"Hit_id", "id", Role::HitId},
    {"Hit_def", "title", Role::HitDefinition},
    {"Hit_accession", "accession", Role::HitAccession},
    {"Hit_len", "len", Role::HitLength},
    {"Hsp", "Hsp", Role::Hsp},
    {"Hsp_bit-score", "bit-score", Role::BitScore},
    {"Hsp_evalue", "evalue", Role::Evalue},
    {"Hsp_identity", "identity", Role::Identities},
    {"Hsp_align-len", "align-len", Role::AlignLength},
};

long long count(std::string_view text)
{
    return std::max(0LL, wholeNumber(text));
}

class BlastReader
{
public:
    explicit BlastReader(BlastReport& report) : m_report(report) {}

    void element(const XmlElement& element)
    {
        const auto* found =
            std::find_if(std::begin(kElements), std::end(kElements), [&](const Element& known) {
                return element.name == known.output || element.name == known.xml2;
            });
        if (found == std::end(kElements) || element.depth == 0)
            return;
        const std::string_view text = trimmed(element.text, kLineBlanks);
        // The run's facts: the first time each is given counts.
        std::string* const facts[] = {&m_report.program, &m_report.version, &m_report.database,
                                      &m_report.queryId, &m_report.queryDefinition};
        switch (found->role) {
        case Role::Program:
        case Role::Version:
        case Role::Database:
        case Role::QueryId:
        case Role::QueryDefinition:
            if (std::string* fact = facts[static_cast<size_t>(found->role)]; fact->empty())
                *fact = text;
            break;
        case Role::QueryLength:
            if (m_report.queryLength == 0)
                m_report.queryLength = count(text);
            break;
        case Role::Hit:
            m_report.hits.push_back(std::move(m_hit));
            m_hit = BlastHit();
            break;
        case Role::Hsp:
            m_hit.hsps.push_back(std::move(m_hsp));
            m_hsp = BlastHsp();
            break;
        default:
            hitField(found->role, text);
            break;
        }
    }

private:
    void hitField(Role role, std::string_view text)
    {
        // A hit of several descriptions (BlastXML2) is named by its first.
        const auto first = [text](std::string& field) {
            if (field.empty())
                field = text;
        };
        switch (role) {
        case Role::HitId:
            return first(m_hit.id);
        case Role::HitDefinition:
            return first(m_hit.definition);
        case Role::HitAccession:
            return first(m_hit.accession);
        case Role::HitLength:
            m_hit.length = count(text);
            return;
        case Role::BitScore:
            m_hsp.bitScore = text;
            return;
        case Role::Evalue:
            m_hsp.evalue = text;
            return;
        case Role::Identities:
            m_hsp.identities = count(text);
            return;
        case Role::AlignLength:
            m_hsp.alignLength = count(text);
            return;
        default:
            return;
        }
    }

    BlastReport& m_report;
    BlastHit m_hit;
    BlastHsp m_hsp;
};

std::string escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Writes the texts as the elements of consecutive roles from first on, named as the first
// output format names them.
void elements(std::string& out, size_t indent, Role first, std::initializer_list<std::string> texts)
{
    auto role = static_cast<size_t>(first);
    for (const std::string& text : texts) {
        const std::string name(kElements[role++].output);
        out += std::string(indent, ' ') + "<" + name + ">" + escaped(text) + "</" + name + ">\n";
    }
}

} // namespace

Outcome readBlastXml(std::string_view text, size_t firstLine, Record& record)
{
    record = Record(Format::BlastXml, RecordKind::BlastReport);
    BlastReader reader(record.blast);
    std::string root;
    const Outcome scanned = scanXmlElements(
        text, [&](const XmlElement& element) { reader.element(element); }, root);
    if (!scanned.ok())
        return Outcome::failed(scanned.line() + firstLine - 1, scanned.message());
    if (root != "BlastOutput" && root != "BlastXML2")
        return Outcome::failed(firstLine,
                               "the XML is no BLAST report (its root element is <" + root + ">)");
    if (!record.blast.queryId.empty())
        record.accessions = {record.blast.queryId};
    record.description = record.blast.queryDefinition;
    record.length = record.blast.queryLength;
    return Outcome::done();
}

std::string writeBlastXml(const Record& record)
{
    const BlastReport& report = record.blast;
    std::string out = "<?xml version=\"1.0\"?>\n<BlastOutput>\n";
    elements(out, 2, Role::Program,
             {report.program, report.version, report.database, report.queryId,
              report.queryDefinition, std::to_string(report.queryLength)});
    out += "  <BlastOutput_iterations>\n    <Iteration>\n      <Iteration_hits>\n";
    for (const BlastHit& hit : report.hits) {
        out += "        <Hit>\n";
        elements(out, 10, Role::HitId,
                 {hit.id, hit.definition, hit.accession, std::to_string(hit.length)});
        out += "          <Hit_hsps>\n";
        for (const BlastHsp& hsp : hit.hsps) {
            out += "            <Hsp>\n";
            elements(out, 14, Role::BitScore,
                     {hsp.bitScore, hsp.evalue, std::to_string(hsp.identities),
                      std::to_string(hsp.alignLength)});
            out += "            </Hsp>\n";
        }
        out += "          </Hit_hsps>\n        </Hit>\n";
    }
    out += "      </Iteration_hits>\n    </Iteration>\n  </BlastOutput_iterations>\n";
    return out + "</BlastOutput>\n";
}

} // namespace Dbscout::Records
