#include "listing_page.h"

#include "page_writer.h"

namespace Dbscout::Web {
namespace {

constexpr const char* kPageVersion = "1.0";

Handlers::PageStyle styleOf(const WebSource* source, const char* service)
{
    // The source names are literals, so their views end in NUL.
    return {kPageVersion, source ? source->sourceName.data() : service};
}

} // namespace

std::string listingPage(const Listing& listing)
{
    const WebSource& source = *listing.source;
    Handlers::ResultPageWriter writer(styleOf(&source, nullptr), source.kindKeyword,
                                      listing.rows.size());
    std::vector<std::string_view> filters;
    for (const QueryFilter& filter : source.filters)
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

std::string errorPage(const WebSource* source, const char* service, const std::string& message)
{
    return Handlers::errorPage(styleOf(source, service), message);
}

} // namespace Dbscout::Web
