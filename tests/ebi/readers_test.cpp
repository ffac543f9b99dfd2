// What the ebi handler reads in-process: its addresses, the services' tab-separated rows, ENA's
// counts, the JSON bodies of refusals, and what a user's words become in ENA's query language.
// That any bytes end in an answer or a message is the fuzzers' to check (fuzz/).

#include "ebi_answers.h"
#include "ebi_source.h"
#include "ena_search.h"
#include "web/read_only_parts.h"

#include <gtest/gtest.h>

using namespace Dbscout::Ebi;
using Dbscout::Web::Command;

namespace {

TEST(EbiRequest, addressesParseIntoSourceIdsCommandAndPaging)
{
    struct Case
    {
        std::string url;
        std::string source;
        std::vector<std::string> ids;
        Command command;
        std::int64_t start;
        int page;
    };
    for (const Case& c : std::vector<Case>{
             {"ebi://uniprotkb/protein/", "uniprotkb", {}, Command::Dir, 0, 100},
             {"EBI://UniProtKB", "uniprotkb", {}, Command::Dir, 0, 100},
             {"ebi://ena/dnarna/?start=30&page=10&query=tax_eq(9606)",
              "ena",
              {},
              Command::Dir,
              30,
              10},
             {"ebi://ena/X56734.1,AJ229040,x56734.1/?command=fetch",
              "ena",
              {"X56734.1", "AJ229040"},
              Command::Fetch,
              0,
              100},
             {"ebi://user@uniprotkb/protein/INS_HUMAN?command=dir&command=fetch",
              "uniprotkb",
              {"INS_HUMAN"},
              Command::Fetch,
              0,
              100},
             {"ebi://uniprotkb/protein/P01308?command=co",
              "uniprotkb",
              {"P01308"},
              Command::Write,
              0,
              100},
         }) {
        EbiRequest request;
        ASSERT_TRUE(parseEbiRequest(c.url, request).ok()) << c.url;
        EXPECT_EQ(request.source->name, c.source) << c.url;
        WebTest::expectReadOnlyParts(request, c.ids, c.command, c.start, c.page, c.url);
    }
}

TEST(EbiAnswers, tablesAreWholeOrNamedForWhatCameInstead)
{
    struct Case
    {
        std::string bytes;
        size_t columns;
        size_t rows; // when read
        std::string fault;
    };
    for (const Case& c : std::vector<Case>{
             {"Entry\tEntry Name\nP01308\tINS_HUMAN\nP04439\tHLAA_HUMAN\n", 2, 2, ""},
             {"Entry\tEntry Name\r\nP01308\tINS_HUMAN\r\n", 2, 1, ""},
             {"", 2, 0, ""}, // ENA's answer to a search past its end
             {"Entry\tEntry Name\nP01308\tINS_HU", 2, 0, "a table cut short"},
             {"Entry\tEntry Name\nP01308\n", 2, 0,
              "a table row of 1 columns where 2 were asked for (\"P01308\")"},
             {"Service busy\n", 2, 0,
              "text that is not a table of the columns asked for (\"Service busy\")"},
             {"<html><title>Oops</title></html>\n", 2, 0, "a web page titled \"Oops\""},
         }) {
        TsvTable table;
        const Status status = readTsv(c.bytes, c.columns, table);
        EXPECT_EQ(status.message(), c.fault) << c.bytes;
        if (status.ok()) {
            EXPECT_EQ(table.rows.size(), c.rows) << c.bytes;
        }
    }
    TsvTable table;
    ASSERT_TRUE(readTsv("a\tb\n\t\xff\n", 2, table).ok());
    EXPECT_EQ(table.rows[0], (std::vector<std::string>{"", "\xef\xbf\xbd"}));
}

TEST(EbiAnswers, countsAndRefusalWords)
{
    for (const auto& [bytes, count] :
         std::vector<std::pair<std::string, std::int64_t>>{{"60003\n", 60003},
                                                           {"count\n12\n", 12},
                                                           {" 0 ", 0},
                                                           {"", -1},
                                                           {"-3", -1},
                                                           {"12 records", -1},
                                                           {"count\n", -1},
                                                           {"99999999999999999999", -1}}) {
        std::int64_t read = 7;
        EXPECT_EQ(readCount(bytes, read).ok(), count >= 0) << bytes;
        EXPECT_EQ(read, count) << bytes;
    }
    for (
        const auto& [body, words] : std::vector<std::pair<std::string, std::string>>{
            {R"({"url":"http://127.0.0.1:8080/uniprotkb/search","messages":["'gen' is not a valid search field"]})",
             "'gen' is not a valid search field"},
            {R"({"messages":["one", "two \"quoted\""], "url": {"a": [1, "]"]}})",
             "one; two \"quoted\""},
            {R"({"status": 400, "message": "Invalid field x \u00e9\ud83d\ude00"})",
             "Invalid field x \xc3\xa9\xf0\x9f\x98\x80"},
            {R"({"message": "cut)", ""},
            {"Service busy", ""},
            {R"({"messages": 3})", ""},
        }) {
        EXPECT_EQ(errorWords(body), words) << body;
    }
    EXPECT_LE(errorWords("{\"message\":\"" + std::string(5000, 'x') + "\"}").size(), 303u);
}

TEST(EnaTerm, wordsAndAccessionsBecomeEnasFieldsAndItsOwnQueriesStay)
{
    for (const auto& [typed, term] : std::vector<std::pair<std::string, std::string>>{
             {"tax_eq(9606) AND mol_type=\"mRNA\"", "tax_eq(9606) AND mol_type=\"mRNA\""},
             {"X56734.1", "accession=\"X56734\""},
             {"AJ229040", "accession=\"AJ229040\""},
             {"beta glucosidase", "description=\"*beta*\" AND description=\"*glucosidase*\""},
             {"insulin AND human", "description=\"*insulin*\" AND description=\"*human*\""},
             {"X5673", "description=\"*X5673*\""},
         }) {
        EXPECT_EQ(enaTerm(typed), term) << typed;
    }
}

} // namespace
