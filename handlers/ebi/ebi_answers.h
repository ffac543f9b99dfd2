#pragma once
// Reading what UniProt's and ENA's services answer beside records: a search's rows as
// tab-separated text under a line of column names (UniProt's format=tsv, ENA's portal search),
// ENA's count of a search, and the JSON body in which both services say why they refused a
// request:
//     {"url":"http://rest.uniprot.org/uniprotkb/search","messages":["'gen' is not a valid search
//     field"]}
// The bytes come from the network and are not trusted: any bytes end in an answer or a message.

#include "status.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Ebi {

using Handlers::Status;

struct TsvTable
{
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows; // each of the header's width
};

// The rows of a tab-separated answer of columns columns. Empty bytes are a table without rows
// (ENA answers a search that finds nothing so). Fails, saying what came instead ("a web page
// titled ...", "a table cut short"), when the bytes are not such a table or end inside a row.
Status readTsv(std::string_view bytes, size_t columns, TsvTable& table);

// ENA's count of a search: the number alone, or under a line "count" (format=tsv).
Status readCount(std::string_view bytes, std::int64_t& count);

// What a JSON error body says to a person: its "messages" (joined by "; ") or its "message",
// at most about 300 bytes of it; empty when the body says nothing readable.
std::string errorWords(std::string_view body);

} // namespace Dbscout::Ebi
