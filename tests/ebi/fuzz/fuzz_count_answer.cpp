// libFuzzer entry point for ENA's count answers and UniProt's X-Total-Results: any bytes end in
// a count of 0 or more or a message, never a crash. Seeds: corpus.

#include "ebi_answers.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::int64_t count = 0;
    const Dbscout::Handlers::Status status = Dbscout::Ebi::readCount(bytes, count);
    FUZZ_CHECK(status.ok() ? count >= 0 : count == -1 && !status.message().empty());
    return 0;
}
