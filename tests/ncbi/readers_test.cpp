// NCBI's recorded answers through the readers and into listing rows. That any bytes end in an
// answer or a message is checked by the readers' fuzzer on its corpus and the recorded answers.

#include "answer_readers.h"
#include "listed_record.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace Dbscout::Ncbi;

namespace {

std::string fixture(const std::string& name)
{
    std::ifstream in(std::string(NCBI_FIXTURES) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(SearchAnswer, recordedAnswersGiveCountIdsAndNcbisOwnComplaints)
{
    SearchAnswer answer;
    ASSERT_TRUE(readSearchAnswer(fixture("esearch1.xml"), answer).ok());
    EXPECT_EQ(answer.count, 5);
    EXPECT_EQ(answer.ids, (std::vector<std::string>{"16403221", "16377612", "14871861", "14630660",
                                                    "12230038"}));
    // The translation stack's own Count (deeper down) is not the answer's.
    ASSERT_TRUE(readSearchAnswer(fixture("esearch6.xml"), answer).ok());
    EXPECT_EQ(answer.count, 699);
    EXPECT_EQ(answer.ids.size(), 20u);
    ASSERT_TRUE(readSearchAnswer(fixture("esearch8.xml"), answer).ok());
    EXPECT_EQ(answer.count, 0);
    EXPECT_EQ(answer.notFound, std::vector<std::string>{"abcXYZ"});
    EXPECT_EQ(answer.warnings, std::vector<std::string>{"No items found."});
}

TEST(SearchAnswer, damagedAnswersFailWithWhatWasWrong)
{
    const std::string whole = fixture("esearch1.xml");
    for (const auto& [bytes, words] : std::vector<std::pair<std::string, std::string>>{
             {whole.substr(0, whole.size() / 2), "cut short or malformed"},
             {"", "cut short or malformed"},
             {fixture("esummary1.xml"), "sent no search answer"},
             {"<eSearchResult><IdList><Id>12</Id></IdList></eSearchResult>", "no count"},
             {"<eSearchResult><Count>1</Count><IdList><Id>1 OR 2</Id></IdList></eSearchResult>",
              "not a number"},
         }) {
        SearchAnswer answer;
        const Status status = readSearchAnswer(bytes, answer);
        EXPECT_FALSE(status.ok()) << bytes;
        EXPECT_NE(status.message().find(words), std::string::npos) << status.message();
    }
    SearchAnswer answer;
    ASSERT_TRUE(
        readSearchAnswer("<eSearchResult><ERROR>Invalid db name</ERROR></eSearchResult>", answer)
            .ok());
    EXPECT_EQ(answer.error, "Invalid db name");
}

TEST(SummaryAnswer, recordedSummariesBecomeTheDatabasesColumns)
{
    struct Case
    {
        const char* file;
        const char* database;
        ListedRecord first;
    };
    for (const Case& c : std::vector<Case>{
             {"esummary1.xml",
              "pubmed",
              {"11850928",
               "LoPresti PJ",
               {"Zirconium granuloma following treatment of rhus dermatitis.", "Arch Dermatol",
                "1965", "11850928"}}},
             {"esummary3.xml",
              "protein",
              {"AAO47091.1",
               "AAO47091.1",
               {"hemochromatosis [Homo sapiens]", "268", "Homo sapiens", "2003-03-03"}}},
             {"esummary4.xml",
              "nucleotide",
              {"AY207443.1",
               "AY207443.1",
               {"Homo sapiens alpha hemoglobin (HBZP) pseudogene 3' UTR/AluJo repeat breakpoint "
                "junction",
                "491", "Homo sapiens", "2003-03-05"}}},
         }) {
        SummaryAnswer answer;
        ASSERT_TRUE(readSummaryAnswer(fixture(c.file), answer).ok()) << c.file;
        ASSERT_EQ(answer.docs.size(), 2u) << c.file;
        const ListedRecord record = listedRecord(*databaseNamed(c.database), answer.docs[0]);
        EXPECT_EQ(record.id, c.first.id) << c.file;
        EXPECT_EQ(record.name, c.first.name) << c.file;
        EXPECT_EQ(record.cells, c.first.cells) << c.file;
    }
}

TEST(SummaryAnswer, errorsLatin1AndOddTitles)
{
    SummaryAnswer answer;
    ASSERT_TRUE(readSummaryAnswer(fixture("esummary8.xml"), answer).ok());
    EXPECT_EQ(answer.error, "Neither query_key nor id specified");
    // A declared ISO-8859-1 answer reaches the page as UTF-8.
    ASSERT_TRUE(readSummaryAnswer("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><eSummaryResult>"
                                  "<DocSum><Id>7</Id><Item Name=\"Title\">Sm\xf8rrebr\xf8"
                                  "d &#x3b1;</Item><Item Name=\"TaxId\">562</Item></DocSum>"
                                  "</eSummaryResult>",
                                  answer)
                    .ok());
    ASSERT_EQ(answer.docs.size(), 1u);
    EXPECT_EQ(answer.docs[0].item("Title"), "Sm\xc3\xb8rrebr\xc3\xb8"
                                            "d \xce\xb1");
    // No binomial at the start of the title: the taxon as Entrez writes it.
    EXPECT_EQ(listedRecord(*databaseNamed("nucleotide"), answer.docs[0]).cells[2], "txid562");
    const std::string cut = fixture("esummary1.xml").substr(0, 900);
    EXPECT_FALSE(readSummaryAnswer(cut, answer).ok());
}

} // namespace
