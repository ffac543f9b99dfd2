// libFuzzer entry point for the ebi request URL: any bytes parse into a request of bounded record
// names or fail with a message, never a crash. Seeds: corpus.

#include "ebi_source.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace Dbscout::Ebi;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EbiRequest request;
    const Status status =
        parseEbiRequest(std::string(reinterpret_cast<const char*>(data), size), request);
    if (!status.ok()) {
        FUZZ_CHECK(!status.message().empty());
        return 0;
    }
    FUZZ_CHECK(request.source != nullptr);
    FUZZ_CHECK(request.ids.size() <= Dbscout::Web::kMaxIds);
    for (const std::string& id : request.ids)
        FUZZ_CHECK(!id.empty() && id.size() <= Dbscout::Web::kMaxIdBytes);
    FUZZ_CHECK(request.pageSize >= 1 && request.pageSize <= kEbiPageLimit.most);
    return 0;
}
