// The ncbi handler's request URL parser on any argument text, and the Entrez term made of its
// query: an accepted URL names a database, its record names are names, each once, within their
// bounds, and holds no NUL byte; a refused one gets a short message.

#include "entrez_term.h"
#include "fuzz_check.h"
#include "ncbi_request.h"

#include <cstdint>
#include <string>
#include <strings.h>

using namespace Dbscout::Ncbi;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    NcbiRequest request;
    const Status status = parseNcbiRequest(text, request);
    if (!status.ok()) {
        FUZZ_CHECK(status.code() == Dbscout::Handlers::ErrorCode::BadRequest);
        FUZZ_CHECK(!status.message().empty() && status.message().size() <= 512);
        return 0;
    }
    FUZZ_CHECK(request.source != nullptr);
    FUZZ_CHECK(request.ids.size() <= Dbscout::Web::kMaxIds);
    for (size_t i = 0; i < request.ids.size(); ++i) {
        const std::string& id = request.ids[i];
        FUZZ_CHECK(!id.empty() && id.size() <= Dbscout::Web::kMaxIdBytes);
        FUZZ_CHECK(id.find_first_of(",/\0", 0, 3) == std::string::npos);
        for (size_t j = 0; j < i; ++j)
            FUZZ_CHECK(strcasecmp(id.c_str(), request.ids[j].c_str()) != 0);
    }
    FUZZ_CHECK(!request.query || (request.query->find('\0') == std::string::npos &&
                                  request.query->size() <= kNcbiPageLimit.queryBytes));
    FUZZ_CHECK(request.pageSize >= 1 && request.pageSize <= kNcbiPageLimit.most &&
               request.start >= 0);
    if (request.query) {
        EntrezTerm term;
        if (entrezTerm(*request.source, *request.query, term).ok())
            FUZZ_CHECK(term.term.find('\0') == std::string::npos);
    }
    return 0;
}
