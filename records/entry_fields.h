#pragma once
// What the GenBank and EMBL layouts share besides the feature table: residue lines, lists of
// keywords and lineages, topologies, dates, and the check that a sequence is as long as its
// entry says.

#include "outcome.h"
#include "record.h"
#include "text_lines.h"

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Records {

// Appends the residues of a sequence line (letters upper-cased, "*", and "-" or "." for a gap),
// skipping blanks and, when counted, the numbers that count them; fails at any other character.
Outcome appendResidues(std::string_view line, size_t number, std::string& sequence,
                       bool counted = true);
// The residues in groups of ten, blanks between, from start for at most count residues.
std::string residueGroups(std::string_view residues, size_t start, size_t count, bool lowerCase);

// "a; b; c." as its items, trimmed, without the final "." and without empty ones.
std::vector<std::string> listItems(std::string_view text, char separator = ';');
// The items joined by "; " and ended with ".".
std::string listText(const std::vector<std::string>& items);

Topology topologyNamed(std::string_view word); // Unknown for any other word

// "21-JUN-1999"
bool isEntryDate(std::string_view word);

// Reads an entry of format into record through a Reader made for it: its take(line, number) on
// every line up to "//", then, when the entry's first line (keyword) was seen, its finish().
template <typename Reader>
Outcome readEntry(std::string_view text, size_t firstLine, Record& record, Format format,
                  std::string_view keyword)
{
    record = Record(format, RecordKind::Nucleotide);
    Reader reader(record, text.size());
    const Outcome outcome =
        eachLine(text, firstLine, [&reader](std::string_view line, size_t number) {
            return reader.take(line, number);
        });
    if (!outcome.ok())
        return outcome;
    if (!reader.started())
        return Outcome::failed(0, "the record has no " + std::string(keyword) + " line");
    return reader.finish();
}

// Fails at line when the sequence read is not as long as the entry declares.
Outcome checkLength(const Record& record, size_t line);

} // namespace Dbscout::Records
