// GenBank records as NCBI lays them out: twelve columns of keywords, values wrapped at 79.

#include "entry_fields.h"
#include "feature_table.h"
#include "formats.h"
#include "text_lines.h"

#include <cstdio>

namespace Dbscout::Records {
namespace {

constexpr size_t kValueWidth = 79 - 12;
constexpr size_t kResiduesPerLine = 60;

// keyword padded to twelve columns, then text wrapped, continued after twelve blanks.
void field(std::string& out, std::string_view keyword, std::string_view text)
{
    std::string head(keyword);
    head.resize(12, ' ');
    writeLines(out, head, std::string(12, ' '), wrapAtBlanks(text, kValueWidth));
}

std::string joined(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

void locus(std::string& out, const Record& record)
{
    const char* unit = record.countsRecords                 ? "rc"
                       : record.kind == RecordKind::Protein ? "aa"
                                                            : "bp";
    char line[64];
    std::snprintf(line, sizeof line, " %11lld %s    ", record.length, unit);
    std::string text = record.name + line;
    if (record.kind != RecordKind::Protein)
        text += record.molecule + " ";
    for (const std::string& part :
         {std::string(topologyName(record.topology)), record.division, record.updated}) {
        if (!part.empty())
            text += part + " ";
    }
    out += "LOCUS       " + text.substr(0, text.find_last_not_of(' ') + 1) + "\n";
}

// The lineage's first line must show it is no more of the organism's name: it holds a ";" or
// ends the lineage with its ".".
void lineage(std::string& out, const std::vector<std::string>& taxonomy)
{
    if (taxonomy.empty())
        return;
    const std::string text = listText(taxonomy);
    std::vector<std::string_view> lines = wrapAtBlanks(text, kValueWidth);
    if (lines.front().find(';') == std::string_view::npos)
        lines = {text};
    writeLines(out, std::string(12, ' '), std::string(12, ' '), lines);
}

void references(std::string& out, const Record& record)
{
    for (const Reference& reference : record.references) {
        std::string head = reference.number;
        if (!reference.span.empty())
            head += "  (" + reference.span + ")";
        out += "REFERENCE   " + head + "\n"; // one line: its span is in parentheses
        const std::pair<const char*, const std::string*> fields[] = {
            {"  AUTHORS", &reference.authors}, {"  CONSRTM", &reference.consortium},
            {"  TITLE", &reference.title},     {"  JOURNAL", &reference.journal},
            {"   PUBMED", &reference.pubmed},  {"  REMARK", &reference.remark}};
        for (const auto& [name, text] : fields) {
            if (!text->empty())
                field(out, name, *text);
        }
    }
}

void residues(std::string& out, const Record& record)
{
    if (record.sequence.empty())
        return;
    out += "ORIGIN\n";
    for (size_t at = 0; at < record.sequence.size(); at += kResiduesPerLine) {
        char number[32];
        std::snprintf(number, sizeof number, "%9zu ", at + 1);
        out += number + residueGroups(record.sequence, at, kResiduesPerLine, true) + "\n";
    }
}

} // namespace

std::string writeGenBank(const Record& record)
{
    std::string out;
    locus(out, record);
    field(out, "DEFINITION", record.description + ".");
    if (!record.accessions.empty())
        field(out, "ACCESSION", joined(record.accessions));
    if (!record.version.empty() || !record.gi.empty())
        field(out, "VERSION",
              record.gi.empty() ? record.version : record.version + "  GI:" + record.gi);
    field(out, "KEYWORDS", record.keywords.empty() ? "." : listText(record.keywords));
    if (!record.organism.empty() || !record.taxonomy.empty()) {
        field(out, "SOURCE", record.organism);
        out += "  ORGANISM  " + record.organism + "\n";
        lineage(out, record.taxonomy);
    }
    references(out, record);
    if (!record.features.empty()) {
        out += "FEATURES             Location/Qualifiers\n";
        writeFeatureTable(out, "     ", record.features);
    }
    residues(out, record);
    out += "//\n";
    return out;
}

} // namespace Dbscout::Records
