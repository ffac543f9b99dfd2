// EMBL entries and UniProt text: line codes, values wrapped at 80 columns, "XX" between blocks
// in EMBL.

#include "entry_fields.h"
#include "feature_table.h"
#include "formats.h"
#include "text_lines.h"

#include <cstdio>

namespace Dbscout::Records {
namespace {

constexpr size_t kValueWidth = 80 - 5;
constexpr size_t kResiduesPerLine = 60;

void field(std::string& out, std::string_view code, std::string_view text)
{
    const std::string prefix = std::string(code) + "   ";
    writeLines(out, prefix, prefix, wrapAtBlanks(text, kValueWidth));
}

std::string unit(const Record& record)
{
    return record.countsRecords ? "SQ" : record.kind == RecordKind::Protein ? "AA" : "BP";
}

// The version in the ID line ("SV 2") when it is the accession's, else on an "SV" line.
std::string idVersion(const Record& record)
{
    const std::string stem = record.accession() + ".";
    const std::string_view number =
        std::string_view(record.version).substr(std::min(record.version.size(), stem.size()));
    return record.version.starts_with(stem) && !record.accession().empty() &&
                   record.version.find_first_not_of("0123456789", stem.size()) ==
                       std::string::npos &&
                   !number.empty()
               ? std::string(number)
               : std::string();
}

void accessionLines(std::string& out, const Record& record)
{
    if (record.accessions.empty())
        return;
    std::string text;
    for (const std::string& accession : record.accessions)
        text += (text.empty() ? "" : " ") + accession + ";";
    field(out, "AC", text);
}

void lists(std::string& out, const Record& record, bool separate)
{
    field(out, "KW", record.keywords.empty() ? "." : listText(record.keywords));
    if (separate)
        out += "XX\n";
    if (!record.organism.empty())
        field(out, "OS",
              record.format == Format::UniProt ? record.organism + "." : record.organism);
    if (!record.taxonomy.empty())
        field(out, "OC", listText(record.taxonomy));
    if (separate)
        out += "XX\n";
}

void references(std::string& out, const Record& record, bool separate)
{
    for (const Reference& reference : record.references) {
        // A number that brackets would not give back is written as it is.
        const bool bare =
            reference.number.starts_with('[') || reference.number.find(']') != std::string::npos;
        out += "RN   " + (bare ? reference.number : "[" + reference.number + "]") + "\n";
        const std::string pubmed = record.format == Format::UniProt
                                       ? "PubMed=" + reference.pubmed + ";"
                                       : "PUBMED; " + reference.pubmed + ".";
        const std::pair<const char*, std::string> fields[] = {
            {"RP", reference.span},
            {"RC", reference.remark},
            {"RX", reference.pubmed.empty() ? std::string() : pubmed},
            {"RG", reference.consortium},
            {"RA", reference.authors.empty() ? std::string() : reference.authors + ";"},
            {"RT", "\"" + reference.title + "\";"},
            {"RL", reference.journal},
        };
        for (const auto& [code, text] : fields) {
            if (!text.empty())
                field(out, code, text);
        }
        if (separate)
            out += "XX\n";
    }
}

void residues(std::string& out, const Record& record, bool numbered)
{
    if (record.sequence.empty())
        return;
    const bool lowerCase = numbered && record.kind == RecordKind::Nucleotide;
    out += numbered ? "SQ   Sequence " + std::to_string(record.sequence.size()) + " " +
                          unit(record) + ";\n"
                    : "SQ   SEQUENCE   " + std::to_string(record.sequence.size()) + " " +
                          unit(record) + ";\n";
    for (size_t at = 0; at < record.sequence.size(); at += kResiduesPerLine) {
        std::string line =
            "     " + residueGroups(record.sequence, at, kResiduesPerLine, lowerCase);
        if (numbered) {
            const std::string count =
                std::to_string(std::min(record.sequence.size(), at + kResiduesPerLine));
            line.resize(std::max<size_t>(line.size() + 1, 80 - count.size()), ' ');
            line += count;
        }
        out += line + "\n";
    }
}

} // namespace

std::string writeEmbl(const Record& record)
{
    std::string out = "ID   " + record.name + "; SV " + idVersion(record) + "; " +
                      topologyName(record.topology) + "; " + record.molecule + "; STD; " +
                      record.division + "; " + std::to_string(record.length) + " " + unit(record) +
                      ".\nXX\n";
    accessionLines(out, record);
    if (!record.version.empty() && idVersion(record).empty())
        out += "SV   " + record.version + "\n";
    out += "XX\n";
    if (!record.created.empty())
        out += "DT   " + record.created + " (Created)\n";
    if (!record.updated.empty())
        out += "DT   " + record.updated + " (Last updated)\n";
    if (!record.description.empty()) {
        out += "XX\n";
        field(out, "DE", record.description);
    }
    out += "XX\n";
    lists(out, record, true);
    references(out, record, true);
    if (!record.features.empty()) {
        out += "FH   Key             Location/Qualifiers\nFH\n";
        writeFeatureTable(out, "FT   ", record.features);
        out += "XX\n";
    }
    residues(out, record, true);
    return out + "//\n";
}

std::string writeUniProt(const Record& record)
{
    std::string out = "ID   " + record.name + "    " + record.division + ";    " +
                      std::to_string(record.length) + " " + unit(record) + ".\n";
    accessionLines(out, record);
    if (!record.created.empty())
        out += "DT   " + record.created + ", integrated into UniProtKB.\n";
    if (!record.version.empty()) {
        const std::string number = idVersion(record);
        out += number.empty() ? "SV   " + record.version + "\n"
                              : "DT   " + (record.updated.empty() ? "" : record.updated + ", ") +
                                    "sequence version " + number + ".\n";
    }
    if (!record.updated.empty())
        out += "DT   " + record.updated + ", entry version 1.\n";
    // A description that the structured form cannot hold keeps the old, plain form.
    const std::string& description = record.description;
    if (description.find(';') == std::string::npos && description.find(" {") == std::string::npos)
        field(out, "DE", "RecName: Full=" + description + ";");
    else
        field(out, "DE", description + ".");
    lists(out, record, false);
    references(out, record, false);
    writeFeatureTable(out, "FT   ", record.features);
    residues(out, record, false);
    return out + "//\n";
}

} // namespace Dbscout::Records
