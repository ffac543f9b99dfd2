#include "pubmed_slices.h"

#include <algorithm>
#include <bit>

namespace Dbscout::Ncbi {
namespace {

struct Node
{
    PmidRange range;
    int level = 0; // the range is first .. first + 2^level - 1 (the highest open upwards)
};

// The slice holding rank; counts the upper half at each level, the lower half being the rest.
Status findSlice(std::int64_t total, int levels, std::int64_t rank, const RangeCounter& count,
                 Slice& slice)
{
    Node node{{0, kTopPmid}, levels};
    std::int64_t records = total;
    std::int64_t before = 0;
    while (records > kPubmedListMost && node.level > 0) {
        const std::uint64_t middle = node.range.first + (std::uint64_t{1} << (node.level - 1));
        const Node upper{{middle, node.range.last}, node.level - 1};
        std::int64_t inUpper = 0;
        if (Status status = count(upper.range, inUpper); !status.ok())
            return status;
        // NCBI's counts may move between requests; a part holds no more than the whole.
        inUpper = std::clamp<std::int64_t>(inUpper, 0, records);
        if (rank < before + inUpper) {
            node = upper;
            records = inUpper;
        } else {
            before += inUpper;
            node = {{node.range.first, middle - 1}, node.level - 1};
            records -= inUpper;
        }
    }
    slice = {node.range, records, before};
    return Status::pass();
}

} // namespace

Status findSlices(std::int64_t total, std::uint64_t newest, std::int64_t start, std::int64_t length,
                  const RangeCounter& count, std::vector<Slice>& slices)
{
    slices.clear();
    const int levels = std::bit_width(std::clamp<std::uint64_t>(newest, 1, kTopPmid));
    const std::int64_t end = std::min(total, start + length);
    for (std::int64_t rank = start; rank < end;) {
        Slice slice;
        if (Status status = findSlice(total, levels, rank, count, slice); !status.ok())
            return status;
        const std::int64_t sliceEnd = slice.ranksBefore + slice.count;
        if (sliceEnd <= rank)
            break; // counts that moved under us: what is left is not to be found this time
        slices.push_back(slice);
        rank = sliceEnd;
    }
    return Status::pass();
}

} // namespace Dbscout::Ncbi
