#pragma once
// What every handler reads from the parameters of its request URL the same way: the name=value
// pairs in order, whole numbers, percent-decoded values, and the page of the listing asked for.

#include "status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Dbscout::Handlers {

inline constexpr int kDefaultPageSize = 100;
// The molb store's longest query; a handler may allow others (PageLimit::queryBytes).
inline constexpr size_t kMaxQueryBytes = 4096;

// The search text and the page of the listing, as start=, page= and query= give them.
struct ListingParameters
{
    std::optional<std::string> query; // percent-decoded
    bool pagingGiven = false;         // start= or page= was present
    std::int64_t start = 0;
    int pageSize = kDefaultPageSize;
};

// The most rows a handler answers in one page, and what its refusal says after the number; the
// longest query it takes.
struct PageLimit
{
    int most;
    std::string_view where; // " for NCBI databases"; empty when the limit needs no place
    size_t queryBytes = kMaxQueryBytes;
};

// Whether name is one of the listing's parameters: start, page or query.
bool isListingParameter(std::string_view name);
// Reads start=, page= or query= into listing; a malformed value, a page size out of 1..most or a
// query longer than limit.queryBytes fails with BadRequest naming the parameter.
Status takeListingParameter(std::string_view name, std::string_view value,
                            ListingParameters& listing, PageLimit limit);

// A decimal number 0 and up of at most 18 digits, nothing else.
bool parseWhole(std::string_view text, std::int64_t& value);
// Percent-decodes the value of name=; a malformed escape or a NUL byte fails with BadRequest.
Status decodeParameter(std::string_view name, std::string_view raw, std::string& out);

struct Parameter
{
    std::string_view name;
    std::string_view value;
    bool hasValue = false; // the pair has an "=" (its value may still be empty)
};

// The name=value pairs of a parameter text, in order; empty pairs are passed over.
class ParameterReader
{
public:
    explicit ParameterReader(std::string_view text) : m_rest(text), m_end(text.data() + text.size())
    {}

    // The next pair; false when none is left.
    bool next(Parameter& parameter);
    // The value of parameter, the pair last read, with all of the text after it: for a value the
    // panel writes raw and last, which may hold "&".
    std::string_view valueToTheEnd(const Parameter& parameter) const
    {
        return std::string_view(parameter.value.data(),
                                static_cast<size_t>(m_end - parameter.value.data()));
    }

private:
    std::string_view m_rest;
    const char* m_end;
};

} // namespace Dbscout::Handlers
