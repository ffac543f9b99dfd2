#pragma once
// NCBI lists only the first 9,999 records of a PubMed search, so a larger search is cut into PMID
// ranges that each hold at most that many, as NCBI advises (its EDirect does the same). The
// ranges are those of one fixed tree over the PMIDs: the whole range, halved at powers of two
// until a part holds few enough records; the highest part of each level stays open upwards, so
// that no record is ever outside. Each record's rank is its place in the order of PMIDs, newest
// (highest) first, which is NCBI's own order of a PubMed search: every rank is reached the same
// way whatever page asks for it, so pages meet without gap or overlap, and the counts of the
// fixed ranges are asked once and then found in the answer cache.

#include "status.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace Dbscout::Ncbi {

using Handlers::Status;

// The most records a PubMed search lists (retstart 0 to 9,998).
inline constexpr std::int64_t kPubmedListMost = 9999;
// The top of the highest range: above every PMID there will be.
inline constexpr std::uint64_t kTopPmid = 999999999;

struct PmidRange
{
    std::uint64_t first = 0;
    std::uint64_t last = 0; // inclusive
};

// The number of the search's records whose PMIDs lie in a range (one esearch).
using RangeCounter = std::function<Status(const PmidRange& range, std::int64_t& count)>;

struct Slice
{
    PmidRange range;
    std::int64_t count = 0;       // records in the range, as counted or as its parent's rest
    std::int64_t ranksBefore = 0; // records of the search with higher PMIDs
};

// The slices holding ranks [start, start + length) of a search of total records whose newest
// record has PMID newest, in rank order. Each slice holds at most kPubmedListMost records.
Status findSlices(std::int64_t total, std::uint64_t newest, std::int64_t start, std::int64_t length,
                  const RangeCounter& count, std::vector<Slice>& slices);

} // namespace Dbscout::Ncbi
