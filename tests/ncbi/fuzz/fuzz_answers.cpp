// libFuzzer entry point for the readers of NCBI's XML answers (esearch with its WarningList,
// ERROR and History fields; esummary of versions 1.0 and 2.0) and the web-page test that judges
// them: any bytes end in an answer or a message naming what came instead, never a crash, hang or
// leak. Seeds: tests/ncbi/corpus and tests/fixtures/ncbi.

#include "answer_readers.h"
#include "fuzz_check.h"
#include "web_page.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace Dbscout::Ncbi;

namespace {

bool isIdCharacter(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           c == '.';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    SearchAnswer search;
    const Status searched = readSearchAnswer(bytes, search);
    FUZZ_CHECK(searched.ok() || !searched.message().empty());
    if (searched.ok()) {
        // What later requests are made of: a count, ids of record names, a WebEnv of reason.
        FUZZ_CHECK(search.count >= 0);
        for (const std::string& id : search.ids) {
            FUZZ_CHECK(!id.empty() && id.size() <= 64);
            for (char c : id)
                FUZZ_CHECK(isIdCharacter(c));
        }
        FUZZ_CHECK(search.webEnv.size() <= 512 && search.queryKey.size() <= 512);
    }
    SummaryAnswer summary;
    const Status summarised = readSummaryAnswer(bytes, summary);
    FUZZ_CHECK(summarised.ok() || !summarised.message().empty());
    // A web page is never read as an answer.
    if (const std::optional<std::string> page = webPage(bytes)) {
        FUZZ_CHECK(page->starts_with("a web page") && page->size() < 200);
        FUZZ_CHECK(!searched.ok() && !summarised.ok());
    }
    return 0;
}
