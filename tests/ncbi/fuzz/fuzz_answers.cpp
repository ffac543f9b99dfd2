// libFuzzer entry point for the readers of NCBI's answers: any bytes end in an answer or a
// message, never a crash, hang or leak. Seeds: tests/ncbi/corpus and tests/fixtures/ncbi.

#include "answer_readers.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Dbscout::Ncbi::SearchAnswer search;
    static_cast<void>(Dbscout::Ncbi::readSearchAnswer(bytes, search));
    Dbscout::Ncbi::SummaryAnswer summary;
    static_cast<void>(Dbscout::Ncbi::readSummaryAnswer(bytes, summary));
    return 0;
}
