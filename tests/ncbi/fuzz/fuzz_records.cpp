// libFuzzer entry point for the reader of NCBI's text records (GenBank/GenPept and MEDLINE, as
// efetch sends them): any bytes end in records or a message naming what came instead. Properties:
// each record is its own text, in order, without overlap; the records written back one after the
// other read again as the same records; an answer whose start is judged not records does not read
// as records. Seeds: tests/ncbi/fuzz/corpus/ncbi_records.

#include "flat_records.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace Dbscout::Ncbi;

namespace {

void check(std::string_view bytes, RecordText format)
{
    std::vector<FlatRecord> records;
    const Status status = readFlatRecords(bytes, format, records);
    if (!notRecords(bytes.substr(0, 4096), format).empty())
        FUZZ_CHECK(!status.ok());
    if (!status.ok()) {
        FUZZ_CHECK(!status.message().empty() && status.message().size() < 300);
        return;
    }
    const char* after = bytes.data();
    std::string again;
    for (const FlatRecord& record : records) {
        FUZZ_CHECK(record.text.data() >= after);
        FUZZ_CHECK(record.text.data() + record.text.size() <= bytes.data() + bytes.size());
        after = record.text.data() + record.text.size();
        FUZZ_CHECK(record.text.starts_with(format == RecordText::GenBank ? "LOCUS " : "PMID- "));
        FUZZ_CHECK(recordAnswers(record, record.accessionVersion) ||
                   record.accessionVersion.empty());
        again += std::string(record.text) + (format == RecordText::Medline ? "\n\n" : "");
    }
    std::vector<FlatRecord> reread;
    FUZZ_CHECK(readFlatRecords(again, format, reread).ok());
    FUZZ_CHECK(reread.size() == records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        FUZZ_CHECK(reread[i].accessionVersion == records[i].accessionVersion);
        FUZZ_CHECK(reread[i].organism == records[i].organism);
        FUZZ_CHECK(reread[i].definition == records[i].definition);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    check(bytes, RecordText::GenBank);
    check(bytes, RecordText::Medline);
    return 0;
}
