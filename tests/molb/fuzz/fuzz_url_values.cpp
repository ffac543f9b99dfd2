// What the panel escapes into a request URL, the handler reads back exactly: a comment through
// the comment escapes, a query through percent escapes, an object name in the path. The input is
// the text the user typed; the comment decoder also gets it raw.

#include "fuzz_check.h"
#include "protocol/comment_text.h"
#include "protocol/request_url.h"
#include "request/url_escape.h"

#include <cstdint>
#include <string>

using namespace Dbscout::Molb;

namespace {

// Parses url; when it is refused, why must be one of the bounds the typed text broke.
void expectReadBack(const std::string& url, const std::string& typed, size_t limit,
                    size_t escapedSize, const std::string RequestUrl::*field)
{
    RequestUrl parsed;
    const Status status = parseRequestUrl(url, parsed);
    const bool fits = typed.find('\0') == std::string::npos && typed.size() <= limit &&
                      escapedSize <= (field == &RequestUrl::comment ? limit : SIZE_MAX);
    FUZZ_CHECK(status.ok() == fits);
    FUZZ_CHECK(!status.ok() || parsed.*field == typed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string typed(reinterpret_cast<const char*>(data), size);

    // Raw text into the comment decoder: what decodes is never longer than what came.
    std::string decoded;
    if (unescapeComment(typed, decoded))
        FUZZ_CHECK(decoded.size() <= typed.size());

    const std::string comment = Dbscout::EscapeComment(typed);
    FUZZ_CHECK(unescapeComment(comment, decoded) && decoded == typed);
    FUZZ_CHECK(comment.find_first_of("&=?/") == std::string::npos);
    expectReadBack("molb://local/db/dnarna/1?start=0&page=10&command=co&command=dir&comment=" +
                       comment,
                   typed, kMaxCommentBytes, comment.size(), &RequestUrl::comment);

    std::string query;
    Dbscout::EscapeQueryText(typed.data(), static_cast<int>(typed.size()), query);
    RequestUrl parsed;
    const Status status =
        parseRequestUrl("molb://local/db/dnarna/?start=0&page=10&query=" + query, parsed);
    FUZZ_CHECK(status.ok() ==
               (typed.find('\0') == std::string::npos && typed.size() <= kMaxQueryBytes));
    FUZZ_CHECK(!status.ok() || (parsed.query && *parsed.query == typed));

    std::string name;
    Dbscout::EscapeObjectName(typed.data(), static_cast<int>(typed.size()), name);
    expectReadBack("molb://local/db/dnarna/" + name + "?command=fetch", typed, kMaxNameBytes,
                   name.size(), &RequestUrl::last);
    return 0;
}
