// libFuzzer entry point for the readers of NCBI's answers: any bytes end in an answer or a
// message, never a crash, hang or leak. Seeds: tests/ncbi/corpus and tests/fixtures/ncbi.

#include "answer_readers.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Dbscout::Ncbi::SearchAnswer search;
    Dbscout::Ncbi::SummaryAnswer summary;
    for (const Dbscout::Ncbi::Status& status : {Dbscout::Ncbi::readSearchAnswer(bytes, search),
                                                Dbscout::Ncbi::readSummaryAnswer(bytes, summary)})
        FUZZ_CHECK(status.ok() || !status.message().empty());
    return 0;
}
