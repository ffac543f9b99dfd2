// One record reader, FUZZ_FORMAT, on any text: every record is read or refused with the line
// where reading stopped, never a crash. A record read has the properties every user of the model
// relies on: it is written back to text that reads again to the same record; its residues are
// letters, "*" or "-"; every position of its features lies within its sequence unless it is on
// another record or not exact (a partial end).

#include "fuzz_check.h"
#include "records/records.h"

#include <algorithm>
#include <cstdint>
#include <string>

using namespace Dbscout::Records;

namespace {

constexpr Format kFormat = Format::FUZZ_FORMAT;

bool isResidue(char c)
{
    return (c >= 'A' && c <= 'Z') || c == '*' || c == '-';
}

// Walks the location itself rather than asking the library's own check.
bool liesWithin(const Location& location, long long length)
{
    if (location.kind != Location::Kind::Range && location.kind != Location::Kind::Between)
        return std::all_of(location.parts.begin(), location.parts.end(),
                           [length](const Location& part) { return liesWithin(part, length); });
    if (!location.accession.empty())
        return true;
    const auto fits = [length](const Position& position) {
        return position.fuzz != Position::Fuzz::Exact ||
               (position.value >= 1 && position.value <= length);
    };
    return fits(location.from) && fits(location.to);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RecordText read;
    readRecordsAs(kFormat, text, read);
    size_t previousEnd = 0;
    for (const ReadEntry& entry : read.entries) {
        FUZZ_CHECK(entry.place.offset >= previousEnd && entry.place.size > 0 &&
                   entry.place.offset + entry.place.size <= size);
        previousEnd = entry.place.offset + entry.place.size;
        if (!entry.outcome.ok()) {
            FUZZ_CHECK(!entry.outcome.message().empty());
            continue;
        }
        const Record& record = entry.record;
        FUZZ_CHECK(std::all_of(record.sequence.begin(), record.sequence.end(), isResidue));
        if (!record.countsRecords && !record.sequence.empty()) {
            for (const Feature& feature : record.features)
                FUZZ_CHECK(liesWithin(feature.location, record.length));
        }
        const std::string written = writeRecord(record);
        Record again;
        const Outcome reread = readRecord(record.format, written, again);
        if (!reread.ok() || !(again == record)) {
            std::fprintf(stderr, "%s\n--- written as:\n%s\n", reread.text().c_str(),
                         written.c_str());
            FUZZ_CHECK(reread.ok() && again == record);
        }
    }
    return 0;
}
