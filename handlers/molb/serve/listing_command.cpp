#include "serve/commands.h"

#include "platform/blanks.h"
#include "protocol/molb_pages.h"

#include <strings.h>

namespace Dbscout::Molb {
namespace {

constexpr const char* kMain = "MAIN";

// MAIN first, then the subsets the session may read (write, when only writable ones are asked).
std::vector<SubsetInfo> subsetDirectory(const RequestUrl& url,
                                        const std::vector<SubsetInfo>& subsets)
{
    std::vector<SubsetInfo> directory{SubsetInfo{kMain, {}, {}, {}}};
    for (const SubsetInfo& subset : subsets) {
        if (!url.writableOnly || subset.right == Right::Write)
            directory.push_back(subset);
    }
    return directory;
}

// Decides what the query lists: every object, one of the kind's subsets, or a search. A subset
// the session may not read is not among subsets, so its name is searched for like any text.
Status chooseScope(std::string_view query, const std::vector<SubsetInfo>& subsets,
                   ListingRequest& request, SubsetInfo& caption)
{
    // "MAIN" is reserved in any letter case, as the panel treats it.
    if (query.empty() || (query.size() == 4 && strncasecmp(query.data(), kMain, 4) == 0)) {
        request.scope = ListingRequest::Scope::Main;
        caption.name = kMain;
        return Status::pass();
    }
    for (const SubsetInfo& subset : subsets) {
        if (subset.name != query)
            continue;
        request.scope = ListingRequest::Scope::Subset;
        request.subset = subset.name;
        caption = subset;
        return Status::pass();
    }
    request.scope = ListingRequest::Scope::Search;
    return parseSearchQuery(request.kind, query, request.search);
}

} // namespace

Status needKind(const RequestUrl& url)
{
    if (url.kind)
        return Status::pass();
    return Status::fail(ErrorCode::BadRequest,
                        "The address names no object kind: add /dnarna/, /protein/, /citation/, "
                        "/blast/ or /analysis/ after the database name.");
}

Status serveListing(Store& store, const Session& session, const RequestUrl& url, std::string& page)
{
    Status status = needKind(url);
    if (!status.ok())
        return status;
    ResultPageContent content;
    content.kind = *url.kind;
    content.pageSize = url.pageSize;
    content.start = url.start;
    std::vector<SubsetInfo> subsets;
    if (status = store.listSubsets(session, *url.kind, subsets); !status.ok())
        return status;
    content.subsets = subsetDirectory(url, subsets);
    const std::string queryText = url.query.value_or(std::string());
    const std::string_view query = trimmed(queryText, " \t");
    // The subset-name request (the address alone, no query, no paging) lists no objects.
    if (!query.empty() || url.pagingGiven) {
        ListingRequest request;
        request.kind = *url.kind;
        request.start = url.start;
        request.pageSize = url.pageSize;
        if (status = chooseScope(query, subsets, request, content.caption); !status.ok())
            return status;
        if (status = store.listObjects(session, request, content.listing); !status.ok())
            return status;
    }
    page = resultPage(content);
    return Status::pass();
}

} // namespace Dbscout::Molb
