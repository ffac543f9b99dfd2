// libFuzzer entry point for the Link header's reader: any bytes end in a target or none, never a
// crash or hang; a target found is a part of the header, between "<" and ">". Seeds: corpus.

#include "fuzz_check.h"
#include "link_header.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view value(reinterpret_cast<const char*>(data), size);
    for (std::string_view relation : {"next", "prev"}) {
        if (const std::optional<std::string> target = Dbscout::Web::linkTarget(value, relation)) {
            FUZZ_CHECK(!target->empty() && target->size() < size);
            FUZZ_CHECK(value.find("<") != std::string_view::npos);
            FUZZ_CHECK(target->find('>') == std::string::npos);
            FUZZ_CHECK(value.find(*target) != std::string_view::npos);
        }
    }
    return 0;
}
