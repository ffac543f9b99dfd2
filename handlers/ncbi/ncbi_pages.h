#pragma once
// The ncbi handler's pages. Their version, 1.0, tells the panel that NCBI's records cannot be
// checked out, saved or given access rights, so that it offers none of those commands.

#include "listed_record.h"
#include "page_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Dbscout::Ncbi {

inline constexpr Handlers::PageStyle kNcbiPages{"1.0", "NCBI error"};

struct ListingPage
{
    const DatabaseInfo* database = nullptr;
    std::string caption;
    std::vector<ListedRecord> records;
    std::int64_t found = 0;
    int pageSize = 0;
    std::int64_t start = 0;
    std::vector<std::string> remarks; // paragraphs for a person reading the page
};

// The database's filters are the page's subset directory; every row may be read, none written.
std::string listingPage(const ListingPage& listing);
std::string errorPage(const std::string& message);

} // namespace Dbscout::Ncbi
