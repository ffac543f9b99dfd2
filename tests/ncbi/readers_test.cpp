// NCBI's recorded answers and records through the readers and into listing rows. That any bytes
// end in an answer or a message is checked by the readers' fuzzers on their corpora and the
// recorded answers.

#include "answer_readers.h"
#include "flat_records.h"
#include "listed_record.h"
#include "web_page.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <zlib.h>

using namespace Dbscout::Ncbi;

namespace {

std::string fixture(const std::string& name)
{
    const std::string path = std::string(NCBI_FIXTURES) + "/" + name;
    if (!name.ends_with(".gz")) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::string text;
    gzFile file = gzopen(path.c_str(), "rb");
    char block[65536];
    for (int read; (read = gzread(file, block, sizeof block)) > 0;)
        text.append(block, static_cast<size_t>(read));
    gzclose(file);
    return text;
}

TEST(SearchAnswer, recordedAnswersGiveCountIdsHistoryAndNcbisOwnWords)
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
    ASSERT_TRUE(readSearchAnswer(fixture("esearch2.xml"), answer).ok());
    EXPECT_EQ(answer.count, 10238);
    EXPECT_EQ(answer.queryKey, "12");
    EXPECT_TRUE(answer.webEnv.starts_with("0rYFb69LfbTFXfG7-0HPo2BU")) << answer.webEnv;
    EXPECT_TRUE(answer.queryTranslation.ends_with("2008/02/16[EDAT] : 2008/04/16[EDAT]"))
        << answer.queryTranslation;
    ASSERT_TRUE(readSearchAnswer(fixture("esearch8.xml"), answer).ok());
    EXPECT_EQ(answer.count, 0);
    EXPECT_EQ(answer.notFound, std::vector<std::string>{"abcXYZ"});
    EXPECT_EQ(answer.warnings, std::vector<std::string>{"No items found."});
}

TEST(SearchAnswer, damagedAnswersSayWhatCameInstead)
{
    const std::string whole = fixture("esearch1.xml");
    for (const auto& [bytes, words] : std::vector<std::pair<std::string, std::string>>{
             {whole.substr(0, whole.size() / 2), "a search answer cut short or malformed"},
             {"", "a search answer cut short or malformed"},
             {fixture("esummary1.xml"), "no search answer but a document <eSummaryResult>"},
             {"<eSearchResult><IdList><Id>12</Id></IdList></eSearchResult>", "without the count"},
             {"<eSearchResult><Count>1</Count><IdList><Id>1 OR 2</Id></IdList></eSearchResult>",
              "a record id that is no id"},
             {"<eSearchResult><Count>1</Count><WebEnv>" + std::string(600, 'w') +
                  "</WebEnv></eSearchResult>",
              "WebEnv beyond reason"},
         }) {
        SearchAnswer answer;
        const Status status = readSearchAnswer(bytes, answer);
        EXPECT_FALSE(status.ok()) << bytes.substr(0, 80);
        EXPECT_NE(status.message().find(words), std::string::npos) << status.message();
    }
}

TEST(SummaryAnswer, summariesOfBothVersionsBecomeTheDatabasesColumns)
{
    struct Case
    {
        const char* file;
        const char* database;
        size_t docs;
        ListedRecord first;
    };
    for (const Case& c : std::vector<Case>{
             {"esummary1.xml",
              "pubmed",
              2,
              {"11850928",
               "LoPresti PJ",
               {"Zirconium granuloma following treatment of rhus dermatitis.", "Arch Dermatol",
                "1965", "11850928"}}},
             // Version 2.0, NCBI's own sample: the organism as NCBI names it, the length (Slen).
             {"esummary_v2_protein.xml",
              "protein",
              1,
              {"NP_005537.3",
               "NP_005537.3",
               {"tyrosine-protein kinase ITK/TSK [Homo sapiens]", "620", "Homo sapiens",
                "2011-10-09"}}},
         }) {
        SummaryAnswer answer;
        ASSERT_TRUE(readSummaryAnswer(fixture(c.file), answer).ok()) << c.file;
        ASSERT_EQ(answer.docs.size(), c.docs) << c.file;
        const ListedRecord record = listedRecord(*databaseNamed(c.database), answer.docs[0]);
        EXPECT_EQ(record.id, c.first.id) << c.file;
        EXPECT_EQ(record.name, c.first.name) << c.file;
        EXPECT_EQ(record.cells, c.first.cells) << c.file;
    }
}

TEST(SummaryAnswer, errorsUnknownRecordsAndLatin1)
{
    SummaryAnswer answer;
    ASSERT_TRUE(readSummaryAnswer(fixture("esummary8.xml"), answer).ok());
    EXPECT_EQ(answer.error, "Neither query_key nor id specified");
    EXPECT_FALSE(unknownRecordsOnly(answer.error));
    EXPECT_FALSE(historyExpired(answer.error));
    // A record NCBI has no summary of, within a version 2.0 answer; a forgotten History set.
    ASSERT_TRUE(readSummaryAnswer("<eSummaryResult><DocumentSummarySet status=\"OK\">"
                                  "<DocumentSummary uid=\"NOPE1.1\"><error>cannot get document "
                                  "summary</error></DocumentSummary></DocumentSummarySet>"
                                  "<ERROR>Unable to obtain query #1</ERROR></eSummaryResult>",
                                  answer)
                    .ok());
    ASSERT_EQ(answer.docs.size(), 1u);
    EXPECT_EQ(answer.docs[0].uid, "NOPE1.1");
    EXPECT_EQ(answer.docs[0].error, "cannot get document summary");
    EXPECT_TRUE(historyExpired(answer.error));
    EXPECT_TRUE(unknownRecordsOnly("UID=999999999: cannot get document summary"));
    // A declared ISO-8859-1 answer reaches the page as UTF-8.
    ASSERT_TRUE(readSummaryAnswer("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><eSummaryResult>"
                                  "<DocSum><Id>7</Id><Item Name=\"Title\">Sm\xf8rrebr\xf8"
                                  "d &#x3b1;</Item></DocSum></eSummaryResult>",
                                  answer)
                    .ok());
    EXPECT_EQ(answer.docs.at(0).item("Title"), "Sm\xc3\xb8rrebr\xc3\xb8"
                                               "d \xce\xb1");
    const std::string cut = fixture("esummary1.xml").substr(0, 900);
    EXPECT_FALSE(readSummaryAnswer(cut, answer).ok());
}

// The records of one answer, each named as NCBI names it, with what a listing shows of it: the
// expected values are read from the record files themselves.
TEST(FlatRecords, recordedRecordsSplitAndNameThemselves)
{
    const std::string cor = fixture("cor6_6.gb.gz");
    const std::string answer = "\n" + fixture("arab1.gb.gz") + "\n" + cor;
    std::vector<FlatRecord> records;
    ASSERT_TRUE(readFlatRecords(answer, RecordText::GenBank, records).ok());
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[0].accessionVersion, "AC007323.5");
    EXPECT_EQ(records[0].accession, "AC007323");
    EXPECT_EQ(records[0].organism, "Arabidopsis thaliana");
    EXPECT_EQ(records[0].length, "86436");
    EXPECT_EQ(records[0].date, "2000-01-19");
    EXPECT_EQ(records[0].definition, "Genomic sequence for Arabidopsis thaliana BAC T25K16 from "
                                     "chromosome I, complete sequence");
    EXPECT_EQ(records[0].text, fixture("arab1.gb.gz"));
    // Each record is its own text, from LOCUS to "//", and the six of the file make the file.
    std::string again;
    for (size_t i = 1; i < records.size(); ++i) {
        EXPECT_TRUE(records[i].text.starts_with("LOCUS ")) << i;
        EXPECT_TRUE(records[i].text.ends_with("//\n")) << i;
        again += records[i].text;
    }
    EXPECT_EQ(again, cor);
    EXPECT_TRUE(recordAnswers(records[0], "ac007323"));
    EXPECT_TRUE(recordAnswers(records[0], "AC007323.5"));
    EXPECT_FALSE(recordAnswers(records[0], "AC007323.4"));
    // A PDB chain has no version: its name is its accession.
    ASSERT_TRUE(readFlatRecords(fixture("1MRR_A.gp.gz"), RecordText::GenBank, records).ok());
    EXPECT_EQ(records.at(0).accessionVersion, "1MRR_A");
    EXPECT_EQ(records[0].organism, "Escherichia coli");
    EXPECT_EQ(records[0].length, "375");

    const std::string medline = fixture("pubmed_result2.txt.gz");
    ASSERT_TRUE(readFlatRecords(medline, RecordText::Medline, records).ok());
    ASSERT_EQ(records.size(), 4u);
    for (const FlatRecord& record : records) {
        EXPECT_TRUE(record.text.starts_with("PMID- " + record.accession + "\n"))
            << record.accession;
        EXPECT_NE(medline.find(record.text), std::string::npos);
    }
}

TEST(FlatRecords, whatIsNotRecordsIsNamed)
{
    const std::string arab = fixture("arab1.gb.gz");
    const std::string page =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" \"x\">\n"
        "<html><head>\n<title>NCBI/eutils211 -\n WWW Error 500 Diagnostic</title></head></html>";
    struct Case
    {
        std::string answer;
        RecordText format;
        std::string words;
    };
    for (const Case& c : std::vector<Case>{
             {page, RecordText::GenBank,
              "a web page titled \"NCBI/eutils211 - WWW Error 500 Diagnostic\""},
             {arab + "<html><body>busy</body></html>", RecordText::GenBank,
              "text that is not a GenBank record (\"<html><body>busy</body></html>\")"},
             {arab.substr(0, arab.size() - 4), RecordText::GenBank,
              "a GenBank record cut short (\"AC007323.5\" has no closing \"//\" line)"},
             {"<eFetchResult><ERROR>Unable to obtain query #1</ERROR></eFetchResult>",
              RecordText::Medline, "text that is not a MEDLINE record"},
             {"PMID- 1\nTI  - a title\nthis is no MEDLINE line\n", RecordText::Medline,
              "(\"this is no MEDLINE line\")"},
             {"PMID- 1\nTI  - a title cut", RecordText::Medline, "cut short in its last line"},
         }) {
        std::vector<FlatRecord> records;
        const Status status = readFlatRecords(c.answer, c.format, records);
        EXPECT_FALSE(status.ok()) << c.words;
        EXPECT_NE(status.message().find(c.words), std::string::npos) << status.message();
    }
    // The start of a streamed answer is judged before any of it goes on.
    EXPECT_EQ(notRecords("\n\nLOCUS       X", RecordText::GenBank), "");
    EXPECT_EQ(notRecords("\nPMID- 1\n", RecordText::Medline), "");
    EXPECT_EQ(notRecords(page, RecordText::Medline),
              "a web page titled \"NCBI/eutils211 - WWW Error 500 Diagnostic\"");
    EXPECT_EQ(notRecords("Error: no records\n", RecordText::GenBank),
              "text that is not a GenBank record (\"Error: no records\")");
    EXPECT_EQ(webPage("<eSearchResult/>"), std::nullopt);
    EXPECT_EQ(webPage("  <HTML><body>x</body></HTML>"), "a web page");
}

} // namespace
