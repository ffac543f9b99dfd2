// Replays every fuzzer seed and every input the fuzzers once found trouble with: each must end
// in a parsed page or the reader's exception with a message, for both parsers.

#include "document/result_page.h"
#include "document/status_page.h"
#include "document/xml_exception.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

using namespace Dbscout;

namespace {

TEST(Corpus, everyInputEndsInAPageOrAMessage)
{
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(DBSCOUT_DOCUMENT_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().filename().string());
        std::unique_ptr<AnswerPage> pages[] = {std::make_unique<ResultPage>(),
                                               std::make_unique<StatusPage>()};
        for (auto& page : pages) {
            try {
                page->ParseText(text.c_str());
            } catch (const CXMLException& error) {
                EXPECT_FALSE(error.message().empty());
            }
        }
        ++replayed;
    }
    EXPECT_GE(replayed, 10);
}

} // namespace
