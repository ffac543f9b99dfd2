#pragma once
// One parser per record format. Each reads one record's text into object (kind, name and the
// metadata fields; the bytes are the caller's business) or fails with BadRequest and a message
// that names the fault.

#include "model/shared_names.h"
#include "model/store.h"

#include <string_view>
#include <vector>

namespace Dbscout::Molb {

// GenBank nucleotide and protein (GenPept) records, "LOCUS" to "//".
Status parseGenBankRecord(std::string_view record, NewObject& object);
// The EMBL line-code layout: EMBL nucleotide and patent protein records, and UniProt text.
Status parseEmblStyleRecord(std::string_view record, NewObject& object);
// One ">" header and its sequence lines.
Status parseFastaRecord(std::string_view record, NewObject& object);
void splitFasta(std::string_view text, std::vector<std::string_view>& records);
// One MEDLINE citation: "PMID- " and the tagged lines after it.
Status parseMedlineRecord(std::string_view record, NewObject& object);
void splitMedline(std::string_view text, std::vector<std::string_view>& records);
// One BLAST XML output document; the run carries no name of its own, so it gets name.
Status parseBlastXml(std::string_view document, const std::string& name, NewObject& object);

// Whether letters are mostly nucleotide codes (so a FASTA record is DNA/RNA, not protein).
bool looksLikeNucleotides(std::string_view letters);

} // namespace Dbscout::Molb
