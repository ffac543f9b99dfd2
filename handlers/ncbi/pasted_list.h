#pragma once
// A query that is nothing but record identifiers: how biologists carry records from a paper
// into a tool. Accessions, accession.versions and GI numbers (nucleotide, protein) or PMIDs
// (PubMed), separated by blanks, commas, semicolons or new lines.

#include "entrez_database.h"

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Ncbi {

// The identifiers of query in the order given, each once (letter case aside), accessions in
// capitals as NCBI writes them; empty when query is anything else, or holds more than
// kMaxPastedIds of them.
std::vector<std::string> pastedList(const DatabaseInfo& database, std::string_view query);

inline constexpr size_t kMaxPastedIds = 10000;

// Whether token names a record of database as NCBI writes record names: an accession with or
// without its version, a PDB chain (1MRR_A) or a GI number; a PMID for PubMed.
bool isRecordName(const DatabaseInfo& database, std::string_view token);

} // namespace Dbscout::Ncbi
