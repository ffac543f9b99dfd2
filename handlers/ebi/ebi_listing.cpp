#include "ebi_listing.h"

#include "page_writer.h"
#include "percent_encoding.h"

namespace Dbscout::Ebi {
namespace {

constexpr const char* kPageVersion = "1.0";

Handlers::PageStyle styleOf(const SourceInfo* source)
{
    // The source names are literals, so their views end in NUL.
    return {kPageVersion, source ? source->sourceName.data() : "EBI"};
}

} // namespace

Status searchFailure(const Status& status)
{
    return status.code() == Handlers::ErrorCode::NotFound
               ? Status::fail(Handlers::ErrorCode::Failure, status.message())
               : status;
}

std::string encoded(std::string_view text)
{
    return Handlers::percentEncode(text, "-_.~");
}

std::string listingPage(const Listing& listing)
{
    const SourceInfo& source = *listing.source;
    Handlers::ResultPageWriter writer(styleOf(&source), source.kindKeyword, listing.rows.size());
    std::vector<std::string_view> filters;
    for (const Filter& filter : source.filters)
        filters.push_back(filter.name);
    writer.directory(filters);
    writer.table(listing.caption, {}, source.headers);
    for (const ListedRow& row : listing.rows) {
        writer.row({row.id, row.name, row.openable ? "r" : "", {}, {}});
        for (const std::string& cell : row.cells)
            writer.cell(cell);
    }
    // A row that says nothing was found is no object: the first object's number stays 0.
    return writer.finish(listing.found, listing.pageSize,
                         listing.rows.empty() || listing.found == 0 ? 0 : listing.start + 1,
                         listing.remarks);
}

std::string errorPage(const SourceInfo* source, const std::string& message)
{
    return Handlers::errorPage(styleOf(source), message);
}

} // namespace Dbscout::Ebi
