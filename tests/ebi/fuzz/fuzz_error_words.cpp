// libFuzzer entry point for the JSON bodies of the services' refusals: any bytes end in words of
// bounded length, valid UTF-8 without control characters, or none. Seeds: corpus.

#include "ebi_answers.h"
#include "fuzz_check.h"
#include "utf8.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string words =
        Dbscout::Ebi::errorWords(std::string_view(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(words.size() <= 303);
    FUZZ_CHECK(Dbscout::Handlers::isValidUtf8(words));
    for (char c : words)
        FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
    return 0;
}
