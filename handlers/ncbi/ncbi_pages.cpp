#include "ncbi_pages.h"

namespace Dbscout::Ncbi {

std::string listingPage(const ListingPage& listing)
{
    const DatabaseInfo& database = *listing.database;
    Handlers::ResultPageWriter writer(kNcbiPages, database.kindKeyword, listing.records.size());
    std::vector<std::string_view> filters;
    for (const EntrezFilter& filter : database.filters)
        filters.push_back(filter.name);
    writer.directory(filters);
    writer.table(listing.caption, {}, {database.headers.begin(), database.headers.end()});
    for (const ListedRecord& record : listing.records) {
        writer.row({record.id, record.name, "r", {}, {}});
        for (const std::string& cell : record.cells)
            writer.cell(cell);
    }
    return writer.finish(listing.found, listing.pageSize,
                         listing.records.empty() ? 0 : listing.start + 1, listing.remarks);
}

std::string errorPage(const std::string& message)
{
    return Handlers::errorPage(kNcbiPages, message);
}

} // namespace Dbscout::Ncbi
