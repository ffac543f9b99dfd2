#pragma once
// The ncbi handler's pages. Their version, 1.0, tells the panel that NCBI's records cannot be
// checked out, saved or given access rights, so that it offers none of those commands. An error
// page's title names the source ("NCBI PubMed"), for hosts and readers of status pages, and its
// message starts with it too, since the panel's result list shows no title of a result page.

#include "listed_record.h"
#include "page_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Dbscout::Ncbi {

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

// The database's filters are the page's subset directory; no row may be written, and a row that
// names what NCBI does not have may not be read either.
std::string listingPage(const ListingPage& listing);
// database may be null when the request named none.
std::string errorPage(const DatabaseInfo* database, const std::string& message);

} // namespace Dbscout::Ncbi
