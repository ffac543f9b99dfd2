// libFuzzer entry point for what a typed query becomes in each NCBI database: the Entrez term
// with a filter joined outside the user's text, and a pasted list of record names. Properties: a
// filter is joined only to balanced text, and the joined term is balanced; a pasted list holds
// record names only, each once, and reads back the same from its own names. Seeds:
// tests/ncbi/fuzz/corpus/ncbi_query.

#include "entrez_term.h"
#include "fuzz_check.h"
#include "pasted_list.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <strings.h>

using namespace Dbscout::Ncbi;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view query(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"nucleotide", "protein", "pubmed"}) {
        const DatabaseInfo& database = *databaseNamed(name);
        EntrezTerm term;
        const Status status = entrezTerm(database, query, term);
        FUZZ_CHECK(status.ok() || !status.message().empty());
        if (status.ok() && term.term.find(") AND ") != std::string::npos &&
            term.term.front() == '(')
            FUZZ_CHECK(unbalancedPart(term.term).empty() || !unbalancedPart(query).empty());
        const std::vector<std::string> ids = pastedList(database, query);
        FUZZ_CHECK(ids.size() <= kMaxPastedIds);
        std::string again;
        for (size_t i = 0; i < ids.size(); ++i) {
            FUZZ_CHECK(isRecordName(database, ids[i]));
            for (size_t j = 0; j < i; ++j)
                FUZZ_CHECK(strcasecmp(ids[i].c_str(), ids[j].c_str()) != 0);
            again += ids[i] + "\n";
        }
        FUZZ_CHECK(pastedList(database, again) == ids);
    }
    return 0;
}
