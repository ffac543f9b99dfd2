// Feeds arbitrary bytes to one page parser, DBSCOUT_FUZZ_PAGE (ResultPage or StatusPage): every
// input must end in a page or a CXMLException with a message, never a crash, hang or leak.

#include "document/result_page.h"
#include "document/status_page.h"
#include "document/xml_exception.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size); // adds the terminating NUL
    Dbscout::DBSCOUT_FUZZ_PAGE page;
    try {
        page.parseText(text.c_str());
    } catch (const Dbscout::CXMLException& error) {
        FUZZ_CHECK(!error.message().empty());
    }
    return 0;
}
