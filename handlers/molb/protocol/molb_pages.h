#pragma once
// molb's answer pages: its listings in the shared page format, and its error and status pages.

#include "model/access.h"
#include "model/shared_names.h"
#include "model/store.h"
#include "page_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Dbscout::Molb {

inline constexpr const char* kPageVersion = "3.0";
inline constexpr Handlers::PageStyle kMolbPages{kPageVersion, "molb error"};

struct ResultPageContent
{
    Kind kind = Kind::DnaRna;
    std::vector<SubsetInfo> subsets; // the directory, in order
    SubsetInfo caption;              // empty name for a search; empty mode where none applies
    Listing listing;
    int pageSize = 0;
    std::int64_t start = 0;
};

// Every row's access attribute is its right (what the requesting session may do with it).
std::string resultPage(const ResultPageContent& content);
std::string statusPage(const char* status, const std::string& linkText, const std::string& href,
                       const std::vector<std::string>& remarks = {});
std::string errorPage(const std::string& message);

} // namespace Dbscout::Molb
