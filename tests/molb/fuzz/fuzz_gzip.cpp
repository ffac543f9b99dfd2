// The gzip layer of record files on any file bytes: it inflates within its limits (here small
// ones, so that every run is quick) or refuses with a message, and what it gives back is no
// longer gzip data.

#include "fuzz_check.h"
#include "import/importer.h"

#include <algorithm>
#include <cstdint>
#include <string>

using namespace Dbscout::Molb;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const InflateLimits limits{size_t(1) << 20, 64, 3};
    std::string bytes(reinterpret_cast<const char*>(data), size);
    const Status status = inflateRecordBytes("fuzz.gz", bytes, limits);
    if (!status.ok()) {
        FUZZ_CHECK(status.code() == ErrorCode::BadRequest && !status.message().empty());
        return 0;
    }
    FUZZ_CHECK(bytes.size() <= std::max(limits.floorBytes, size * limits.ratio));
    FUZZ_CHECK(!bytes.starts_with("\x1f\x8b"));
    return 0;
}
