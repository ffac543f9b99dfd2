// FASTA: a ">" line with the sequence's identifier and description, then its residues.

#include "entry_fields.h"
#include "formats.h"
#include "platform/blanks.h"
#include "text_lines.h"

#include <algorithm>

namespace Dbscout::Records {
namespace {

constexpr size_t kResiduesPerLine = 60;

// Nucleotide codes, against which a sequence of mostly these letters counts as DNA or RNA.
bool looksLikeNucleotides(std::string_view residues)
{
    size_t nucleotides = 0;
    size_t total = 0;
    for (char c : residues) {
        if (c == '-' || c == '*')
            continue;
        ++total;
        nucleotides += std::string_view("ACGTUN").find(c) != std::string_view::npos;
    }
    return total > 0 && nucleotides * 10 >= total * 9;
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// "sp|P69905|HBA_HUMAN" names P69905; "gi|5524211|gb|AAD44166.1|" the GI 5524211 and
// AAD44166 in version 1; "NM_000518.5" NM_000518 in version 5.
void identify(Record& record)
{
    const std::vector<std::string_view> fields = split(record.name, '|');
    std::string_view accession = fields[0];
    if (fields.size() >= 4 && fields[0] == "gi") {
        record.gi = fields[1];
        accession = fields[3];
    } else if (fields.size() >= 2) {
        accession = fields[1];
    }
    const size_t dot = accession.rfind('.');
    if (dot != std::string_view::npos && dot > 0 && wholeNumber(accession.substr(dot + 1)) >= 0) {
        record.version = accession;
        accession = accession.substr(0, dot);
    }
    if (!accession.empty())
        record.accessions.emplace_back(accession);
}

} // namespace

Outcome readFasta(std::string_view text, size_t firstLine, Record& record)
{
    record = Record(Format::Fasta, RecordKind::Nucleotide);
    LineReader lines(text, firstLine);
    std::string_view header;
    while (lines.next(header) && trimmed(header, kLineBlanks).empty()) {
    }
    if (!header.starts_with('>'))
        return Outcome::failed(lines.lineNumber(), "the record does not start with \">\"");
    const std::vector<std::string_view> head = words(header.substr(1));
    if (head.empty())
        return Outcome::failed(lines.lineNumber(), "the header line names no sequence");
    record.name = head[0];
    const size_t nameEnd = static_cast<size_t>(head[0].data() - header.data()) + head[0].size();
    record.description = trimmed(header.substr(nameEnd), kLineBlanks);
    identify(record);
    std::string_view line;
    while (lines.next(line)) {
        if (Outcome outcome = appendResidues(line, lines.lineNumber(), record.sequence, false);
            !outcome.ok())
            return outcome;
    }
    if (record.sequence.empty())
        return Outcome::failed(lines.lineNumber(), "\"" + record.name + "\" has no sequence");
    record.length = std::count_if(record.sequence.begin(), record.sequence.end(),
                                  [](char c) { return c != '-' && c != '*'; });
    if (looksLikeNucleotides(record.sequence)) {
        record.kind = RecordKind::Nucleotide;
        const bool rna = record.sequence.find('U') != std::string::npos &&
                         record.sequence.find('T') == std::string::npos;
        record.molecule = rna ? "RNA" : "DNA";
    } else {
        record.kind = RecordKind::Protein;
        record.molecule = "protein";
    }
    return Outcome::done();
}

std::string writeFasta(const Record& record)
{
    std::string out = ">" + record.name;
    if (!record.description.empty())
        out += " " + record.description;
    out += "\n";
    for (size_t at = 0; at < record.sequence.size(); at += kResiduesPerLine)
        out += record.sequence.substr(at, kResiduesPerLine) + "\n";
    return out;
}

} // namespace Dbscout::Records
