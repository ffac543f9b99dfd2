// The ncbi handler's request URL parser on any argument text, and the Entrez term made of its
// query: an accepted URL names a database, holds no NUL byte and stays within its bounds; a
// refused one gets a short message.

#include "entrez_term.h"
#include "fuzz_check.h"
#include "ncbi_request.h"

#include <cstdint>
#include <string>

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
    FUZZ_CHECK(request.database != nullptr);
    FUZZ_CHECK(request.id.find('\0') == std::string::npos && request.id.size() <= kMaxIdBytes);
    FUZZ_CHECK(!request.query || (request.query->find('\0') == std::string::npos &&
                                  request.query->size() <= kMaxQueryBytes));
    FUZZ_CHECK(request.pageSize >= 1 && request.pageSize <= kMaxPageSize && request.start >= 0);
    if (request.query) {
        const EntrezTerm term = entrezTerm(*request.database, *request.query);
        FUZZ_CHECK(term.term.find('\0') == std::string::npos);
    }
    return 0;
}
