#pragma once
// One row of a listing: made from NCBI's document summary of a record, from the record itself
// (records without a GI have no summary), or a row that names what NCBI did not find.

#include "answer_readers.h"
#include "entrez_database.h"
#include "flat_records.h"

#include <string>

namespace Dbscout::Ncbi {

// A row's id is what fetches it: accession.version, or the PMID; its four cells are the further
// columns, in the database's header order.
using ListedRecord = Web::ListedRow;

// Nucleotide and protein from version 2.0 summaries: the organism as NCBI names it; PubMed from
// version 1.0 summaries.
ListedRecord listedRecord(const DatabaseInfo& database, const DocSum& summary);
ListedRecord listedRecord(const FlatRecord& record);
// A record NCBI found but did not summarise: listed under its UID, so that it can still be opened.
ListedRecord unsummarisedRecord(const std::string& uid);
// An identifier of a pasted list that NCBI has no record of.
ListedRecord unknownRecord(const DatabaseInfo& database, const std::string& id);

} // namespace Dbscout::Ncbi
