#include "ncbi_pages.h"

namespace Dbscout::Ncbi {
namespace {

constexpr const char* kPageVersion = "1.0";

Handlers::PageStyle styleOf(const DatabaseInfo* database)
{
    // The source names are literals, so their views end in NUL.
    return {kPageVersion, database ? database->sourceName.data() : "NCBI"};
}

} // namespace

std::string listingPage(const ListingPage& listing)
{
    const DatabaseInfo& database = *listing.database;
    Handlers::ResultPageWriter writer(styleOf(&database), database.kindKeyword,
                                      listing.records.size());
    std::vector<std::string_view> filters;
    for (const EntrezFilter& filter : database.filters)
        filters.push_back(filter.name);
    writer.directory(filters);
    writer.table(listing.caption, {}, {database.headers.begin(), database.headers.end()});
    for (const ListedRecord& record : listing.records) {
        writer.row({record.id, record.name, record.openable ? "r" : "", {}, {}});
        for (const std::string& cell : record.cells)
            writer.cell(cell);
    }
    // A row that says nothing was found is no object: the first object's number stays 0.
    return writer.finish(listing.found, listing.pageSize,
                         listing.records.empty() || listing.found == 0 ? 0 : listing.start + 1,
                         listing.remarks);
}

std::string errorPage(const DatabaseInfo* database, const std::string& message)
{
    return Handlers::errorPage(styleOf(database), message);
}

} // namespace Dbscout::Ncbi
