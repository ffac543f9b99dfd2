// Replays every fuzzer seed and every input the fuzzers once found trouble with (entity bombs,
// external entities, deep nesting, wrong encodings, cut pages): each must end in a parsed page or
// the reader's exception with a message, for both parsers.

#include "document/result_page.h"
#include "document/status_page.h"
#include "document/xml_exception.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace Dbscout;

TEST(Corpus, everyInputEndsInAPageOrAMessage)
{
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(DBSCOUT_DOCUMENT_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        ResultPage result;
        StatusPage status;
        for (AnswerPage* page :
             {static_cast<AnswerPage*>(&result), static_cast<AnswerPage*>(&status)}) {
            try {
                page->parseText(text.c_str());
            } catch (const CXMLException& error) {
                EXPECT_FALSE(error.message().empty()) << entry.path().filename();
            }
        }
        ++replayed;
    }
    EXPECT_GE(replayed, 10);
}
