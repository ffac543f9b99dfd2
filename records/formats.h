#pragma once
// One reader and one writer per format. A reader takes the text of one record (its first line
// numbered firstLine in the text it came from, for the messages), fills record and fails at the
// line where it stopped; a writer gives text that its reader reads back to the same record.

#include "outcome.h"
#include "record.h"

#include <string>
#include <string_view>

namespace Dbscout::Records {

// GenBank nucleotide and protein (GenPept) records, "LOCUS" to "//".
Outcome readGenBank(std::string_view text, size_t firstLine, Record& record);
std::string writeGenBank(const Record& record);

// The line-code layout of EMBL entries (nucleotides and patent proteins) and UniProt text; the
// ID line tells which.
Outcome readEmbl(std::string_view text, size_t firstLine, Record& record);
std::string writeEmbl(const Record& record);
std::string writeUniProt(const Record& record);

// One ">" header and its sequence lines.
Outcome readFasta(std::string_view text, size_t firstLine, Record& record);
std::string writeFasta(const Record& record);

// One MEDLINE citation: "PMID- " and the tagged lines after it.
Outcome readMedline(std::string_view text, size_t firstLine, Record& record);
std::string writeMedline(const Record& record);

// One BLAST XML report, of either output format of BLAST+ (BlastOutput or BlastXML2).
Outcome readBlastXml(std::string_view text, size_t firstLine, Record& record);
std::string writeBlastXml(const Record& record);

} // namespace Dbscout::Records
