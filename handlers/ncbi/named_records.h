#pragma once
// Records named one by one, as a pasted list or a fetch of several names them: summarised by one
// esummary for all, and those NCBI has no summary of (records without a GI, accessions without
// their version) looked for in the records themselves, which efetch reaches by any name.

#include "eutils_client.h"
#include "listed_record.h"

#include <map>
#include <string>
#include <vector>

namespace Dbscout::Ncbi {

// The rows of ids, in their order, one for each: NCBI's summary, else the record itself, else
// a row saying that NCBI has no such record.
Status listNamed(EutilsClient& client, const DatabaseInfo& database,
                 const std::vector<std::string>& ids, std::vector<ListedRecord>& rows);

// The accession.versions of the nucleotide or protein records that GI numbers name (records are
// known by those, not by GIs); a GI NCBI does not know is left out.
Status accessionsOf(EutilsClient& client, const DatabaseInfo& database,
                    const std::vector<std::string>& gis,
                    std::map<std::string, std::string>& versions);

// The efetch query of one record, under which a record is kept wherever it was fetched.
std::string oneRecordQuery(const DatabaseInfo& database, const std::string& id);

} // namespace Dbscout::Ncbi
