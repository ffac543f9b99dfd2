#pragma once
// NCBI's records as efetch sends them as text: GenBank and GenPept flat files, each ending in a
// line "//", and MEDLINE records, blocks of "TAG - value" lines between blank lines. The bytes
// are untrusted: what comes instead of records (a web page, an error document) and a record cut
// short are named; each record is read by the records library, which gives what names it and
// what a listing shows of it.

#include "entrez_database.h"
#include "status.h"

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Ncbi {

using Handlers::Status;

struct FlatRecord
{
    std::string_view text;        // its lines from the first to the last ("//" included)
    std::string accessionVersion; // GenBank: VERSION's first word; MEDLINE: the PMID
    std::string accession;        // GenBank: ACCESSION's first word; MEDLINE: the PMID
    // GenBank only, as a listing shows them: the definition without its closing full stop, the
    // organism, the length and the LOCUS line's date as 2000-01-19.
    std::string definition;
    std::string organism;
    std::string length;
    std::string date;
};

// What the start of an answer is when it does not start a record: "a web page titled ...", or
// "text that is not a GenBank record ("first line")"; empty when it starts one.
std::string notRecords(std::string_view start, RecordText format);

// Splits a whole answer into its records, in order (an empty answer holds none). Fails, naming
// what came instead, when anything in it is not a record or its last record is cut short.
Status readFlatRecords(std::string_view answer, RecordText format,
                       std::vector<FlatRecord>& records);

// Whether record is the one id asks for: its accession.version, its accession or its PMID,
// letter case aside.
bool recordAnswers(const FlatRecord& record, std::string_view id);

} // namespace Dbscout::Ncbi
