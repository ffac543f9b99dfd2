#pragma once
// The answer pages: the result page of a listing, the status page of a save, and the error page
// that answers every failed request. None declares a namespace: the component matches element
// names in no namespace only.

#include "access.h"
#include "store.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Dbscout::Molb {

inline constexpr const char* kPageVersion = "3.0";

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
// status is "OK" or "EXIST"; the link names the object and href fetches it. Each remark follows
// as a paragraph of its own (the component reads only the link; a person reading the page sees
// them).
std::string statusPage(const char* status, const std::string& linkText, const std::string& href,
                       const std::vector<std::string>& remarks = {});
// The body text is message; it serves result and status requests alike.
std::string errorPage(const std::string& message);

} // namespace Dbscout::Molb
