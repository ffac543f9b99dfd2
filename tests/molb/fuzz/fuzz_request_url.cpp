// The request URL parser on any argument text: a URL it accepts holds no NUL byte, only a
// database name that names no file outside the store folder, and values within their bounds; a
// URL it refuses gets a short message.

#include "fuzz_check.h"
#include "protocol/request_url.h"

#include <cstdint>
#include <string>

using namespace Dbscout::Molb;

namespace {

bool holdsNul(const std::string& text)
{
    return text.find('\0') != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RequestUrl url;
    const Status status = parseRequestUrl(text, url);
    if (!status.ok()) {
        FUZZ_CHECK(status.code() == ErrorCode::BadRequest);
        FUZZ_CHECK(!status.message().empty() && status.message().size() <= 512);
        return 0;
    }
    for (const std::string* value :
         {&url.host, &url.database, &url.last, &url.operation, &url.user, &url.password,
          &url.arcname, &url.comment, &url.objmode, &url.subsetmode, &url.subset}) {
        FUZZ_CHECK(!holdsNul(*value));
    }
    FUZZ_CHECK(!url.query || !holdsNul(*url.query));
    FUZZ_CHECK(isValidDatabaseName(url.database));
    FUZZ_CHECK(!url.host.empty() && url.host.find_first_of("/?") == std::string::npos);
    FUZZ_CHECK(url.last.size() <= kMaxNameBytes && url.arcname.size() <= kMaxNameBytes);
    FUZZ_CHECK(!url.query || url.query->size() <= kMaxQueryBytes);
    FUZZ_CHECK(url.comment.size() <= kMaxCommentBytes);
    FUZZ_CHECK(url.pageSize >= 1 && url.pageSize <= kMaxPageSize && url.start >= 0);
    FUZZ_CHECK(url.revision >= 0);
    FUZZ_CHECK(!url.checkOutAfter || url.command == Command::Fetch);
    FUZZ_CHECK(!url.checkInAfter || url.command == Command::Put);
    return 0;
}
