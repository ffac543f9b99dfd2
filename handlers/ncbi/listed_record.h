#pragma once
// One row of a listing, made from NCBI's document summary of a record.

#include "answer_readers.h"
#include "entrez_database.h"

#include <array>
#include <string>

namespace Dbscout::Ncbi {

struct ListedRecord
{
    std::string id;                   // what fetches it: accession.version, or the PMID
    std::string name;                 // the first column
    std::array<std::string, 4> cells; // the further columns, in the database's header order
};

ListedRecord listedRecord(const DatabaseInfo& database, const DocSum& summary);
// A record NCBI found but did not summarise: listed under its UID, so that it can still be opened.
ListedRecord unsummarisedRecord(const std::string& uid);

} // namespace Dbscout::Ncbi
