// ncbi-handler as a real process against the E-utilities stand-in: listings the component's own
// parser reads, paging, the filters, records as text, read-only refusals, the cache, and every
// way NCBI or the network can fail, including answers that are not data (never kept, asked again
// next time).

#include "ncbi_harness.h"

#include <filesystem>
#include <fstream>

using namespace NcbiTest;
using MolbTest::parseResultPage;

namespace {

const std::string kPubmed = "ncbi://entrez/pubmed/citation/";

std::string listing(const std::string& base, const std::string& query, int start, int page)
{
    return base + "?start=" + std::to_string(start) + "&page=" + std::to_string(page) +
           "&query=" + query;
}

TEST(NcbiHandler, aRecordedSearchListsAndPagesWithTheDatabasesColumns)
{
    NcbiWorld world;
    ProcessResult result = runNcbi(listing(kPubmed, "biopython", 0, 3));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    Dbscout::ResultPage page = parseResultPage(result.output);
    EXPECT_EQ(page.title, "citation");
    EXPECT_EQ(page.versionMajor, 1); // no check-out, saving or access rights
    EXPECT_EQ(page.columns,
              (std::vector<std::string>{"First author", "Title", "Journal", "Year", "PMID"}));
    ASSERT_EQ(page.rows.size(), 3u);
    EXPECT_EQ(page.rows[0].id, "16403221");
    EXPECT_EQ(page.rows[0].name, "Casbon JA");
    EXPECT_TRUE(page.rows[0].readable);
    EXPECT_FALSE(page.rows[0].writable);
    EXPECT_EQ(page.rows[0].cells[3], "16403221");
    EXPECT_EQ(page.totalFound, 5);
    EXPECT_EQ(page.pageSize, 3);
    EXPECT_EQ(page.firstNumber, 1);

    // The second page: the last two of the five, numbered from 4.
    result = runNcbi(listing(kPubmed, "biopython", 3, 3));
    page = parseResultPage(result.output);
    ASSERT_EQ(page.rows.size(), 2u);
    EXPECT_EQ(page.rows[1].id, "12230038");
    EXPECT_EQ(page.rows[1].name, "Mangalam H");
    EXPECT_EQ(page.totalFound, 5);
    EXPECT_EQ(page.firstNumber, 4);
    // Past the end: no rows, the count still exact.
    page = parseResultPage(runNcbi(listing(kPubmed, "biopython", 5, 3)).output);
    EXPECT_TRUE(page.rows.empty());
    EXPECT_EQ(page.totalFound, 5);
    EXPECT_EQ(page.firstNumber, 0);
}

// The panel lists with an empty query whenever the user picks an NCBI source: the answer is a
// quiet empty page (no error box at every pick) whose subset box offers the filters, and which
// asks a person reading it for a query. The address alone, as the subset request sends it, too.
TEST(NcbiHandler, anEmptyQueryListsNothingQuietlyAndOffersTheFilters)
{
    NcbiWorld world;
    for (const std::string& url : {std::string("ncbi://entrez/protein/protein/"),
                                   listing("ncbi://entrez/protein/protein/", "%20", 0, 20),
                                   std::string("ncbi://entrez/protein/protein/?start=0&page=20")}) {
        const ProcessResult result = runNcbi(url);
        EXPECT_EQ(result.exitCode, 0) << url;
        const Dbscout::ResultPage page = parseResultPage(result.output);
        EXPECT_EQ(page.status, "OK") << url;
        EXPECT_EQ(page.title, "protein");
        std::vector<std::string> filters;
        for (const auto& subset : page.subsets)
            filters.push_back(subset.name);
        EXPECT_EQ(filters, (std::vector<std::string>{"RefSeq", "Swiss-Prot reviewed",
                                                     "With structure", "Human"}));
        EXPECT_EQ(page.caption.name, ""); // nothing enters the query box or its history
        EXPECT_TRUE(page.rows.empty());
        EXPECT_EQ(page.totalFound, 0);
        EXPECT_EQ(page.firstNumber, 0);
        EXPECT_NE(result.output.find("<p>Type what to search NCBI's protein database for"),
                  std::string::npos)
            << result.output;
    }
    EXPECT_TRUE(world.standIn().arrivals().empty()); // none asked NCBI anything
}

TEST(NcbiHandler, writeCommandsAreRefusedAsReadOnly)
{
    NcbiWorld world;
    for (const std::string command : {"put", "co", "ci", "unco", "cs", "ochmod", "schmod"}) {
        const ProcessResult result =
            runNcbi(kPubmed + "16403221?start=0&page=20&command=" + command + "&command=dir");
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_TRUE(errorText(result).starts_with("NCBI PubMed is read-only")) << command;
        EXPECT_EQ(parseResultPage(result.output).title, "NCBI PubMed"); // the error's caption
    }
    const ProcessResult unknown = runNcbi(kPubmed + "?command=frob");
    EXPECT_NE(errorText(unknown).find("\"frob\" is not served"), std::string::npos);
    EXPECT_TRUE(world.standIn().arrivals().empty());
}

TEST(NcbiHandler, recordsArriveAsTheirTextAndTheCacheAnswersTheSecondTime)
{
    NcbiWorld world;
    const ProcessResult genbank =
        runNcbi("ncbi://entrez/nucleotide/dnarna/NT_019265?query=&command=fetch");
    EXPECT_EQ(genbank.exitCode, 0);
    EXPECT_EQ(genbank.output, fixture("NT_019265.gb"));
    const ProcessResult medline = runNcbi(kPubmed + "12230038?query=biopython&command=fetch");
    EXPECT_TRUE(medline.output.starts_with("PMID- 12230038\n")) << medline.output;
    EXPECT_NE(medline.output.find("TI  - The Bio* toolkits--a brief overview."), std::string::npos);
    const size_t asked = world.standIn().requests();
    EXPECT_EQ(runNcbi(kPubmed + "12230038?command=fetch").output, medline.output);
    runNcbi(listing(kPubmed, "biopython", 0, 2));
    runNcbi(listing(kPubmed, "biopython", 0, 2));
    EXPECT_EQ(world.standIn().requests(), asked + 2); // one search, one summary
    // A record NCBI does not have: named, and said where it was looked for.
    const ProcessResult missing = runNcbi(kPubmed + "2?command=fetch");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(errorText(missing).starts_with("NCBI PubMed has no record 2:")) << missing.output;
}

TEST(NcbiHandler, aDamagedOrLockedCacheIsPassedBy)
{
    NcbiWorld world;
    std::filesystem::create_directories(world.cacheFolder());
    const std::string file = world.cacheFolder() + "/ncbi-answers.sqlite";
    std::ofstream(file) << std::string(4096, 'x');
    ProcessResult result = runNcbi(listing(kPubmed, "biopython", 0, 2));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(parseResultPage(result.output).rows.size(), 2u);
    std::filesystem::remove(file);
    runNcbi(listing(kPubmed, "biopython", 0, 2)); // a fresh cache, filled
    // Another process holds the cache's write lock: the answer comes from NCBI again.
    MolbTest::Child holder("/usr/bin/sqlite3", {file}, {}, true);
    holder.write("BEGIN EXCLUSIVE; SELECT count(*) FROM answers;\n");
    EXPECT_EQ(holder.output(2), "2\n");
    const size_t asked = world.standIn().requests();
    result = runNcbi(listing(kPubmed, "biopython", 0, 2));
    EXPECT_EQ(parseResultPage(result.output).rows.size(), 2u);
    EXPECT_EQ(world.standIn().requests(), asked + 2);
    holder.closeInput();
}

// A cache written by an earlier version (its table, no shape in its header) goes on serving; a
// cache time of 0 stores nothing that would never be read.
TEST(NcbiHandler, anEarlierCacheIsKeptAndACacheTimeOfZeroStoresNothing)
{
    NcbiWorld world;
    std::filesystem::create_directories(world.cacheFolder());
    const std::string file = world.cacheFolder() + "/ncbi-answers.sqlite";
    const auto sql = [&](const std::string& statement) {
        return MolbTest::runProcess("/usr/bin/sqlite3", {file, statement}).output;
    };
    sql("CREATE TABLE answers (key TEXT PRIMARY KEY, stored INTEGER NOT NULL, answer BLOB NOT "
        "NULL)");
    runNcbi(listing(kPubmed, "biopython", 0, 2));
    EXPECT_EQ(sql("SELECT count(*) FROM answers"), "2\n");
    EXPECT_EQ(parseResultPage(runNcbi(listing(kPubmed, "biopython", 0, 2)).output).rows.size(), 2u);
    EXPECT_EQ(world.standIn().requests(), 2u); // the second time from the cache

    world.setSetting("SearchCacheMinutes", 0u);
    world.setSetting("RecordCacheHours", 0u);
    EXPECT_EQ(parseResultPage(runNcbi(listing(kPubmed, "biopython", 2, 2)).output).rows.size(), 2u);
    EXPECT_EQ(runNcbi(kPubmed + "12230038?command=fetch").exitCode, 0);
    EXPECT_EQ(world.standIn().requests(), 5u);
    EXPECT_EQ(sql("SELECT count(*) FROM answers"), "2\n");
}

// Every way NCBI or the network fails, and every answer that is not data (a web page under load,
// NCBI's ERROR element, a document where records were asked): asked again while that helps,
// else a page that names the source, says what happened and what to do; never kept, so that the
// next try asks NCBI again.
TEST(NcbiHandler, failuresAndAnswersThatAreNotDataBecomePagesAndAreNeverKept)
{
    struct Case
    {
        std::vector<std::string> plan;
        int exitCode;
        std::string words;
        size_t requests;
        std::string url = listing(kPubmed, "biopython", 0, 2);
    };
    const std::vector<std::string> webPages(4, "html");
    const std::string twoRecords =
        "ncbi://entrez/nucleotide/dnarna/X55053.1,X62281.1?command=fetch";
    NcbiWorld world;
    world.setSetting("TimeoutSeconds", 1u);
    for (const Case& c : std::vector<Case>{
             // Busy, cut, not data: asked again, and the user sees only the page.
             {{"status 429 1"}, 0, "", 3},
             {{"cut"}, 0, "", 3},
             {{"malformed"}, 0, "", 3},
             {{"html"}, 0, "", 3},
             {{"status 500", "status 503"}, 0, "", 4},
             // Failing on every try: named, with the tries, the source first.
             {{"status 500", "status 500", "status 500", "status 500"},
              2,
              "NCBI PubMed failed (HTTP 500), still after 4 tries",
              4},
             {{"status 429 0", "status 429 0", "status 429 0", "status 429 0"},
              2,
              "too many requests (HTTP 429), still after 4 tries",
              4},
             {webPages, 2,
              "NCBI PubMed sent a web page titled \"NCBI/eutils211 - WWW Error 500 Diagnostic\" "
              "instead of the data asked for, still after 4 tries",
              4},
             {{"slow 3"}, 2, "NCBI PubMed did not answer within 1 seconds", 1},
             {{"status 400"}, 2, "NCBI PubMed refused the request (HTTP 400", 1},
             // NCBI's ERROR element: its answer, used once. Refusing the search is a refusal (1).
             {{"error"}, 1, "NCBI PubMed could not run the query \"biopython\": Search Backend", 1},
             {{"", "error"}, 2, "Neither query_key nor id specified", 2},
             // Records: a web page is never passed on as a record, one or several.
             {webPages, 2, "sent a web page titled", 4, kPubmed + "12230038?command=fetch"},
             {webPages, 2, "sent a web page titled", 4, twoRecords},
             {std::vector<std::string>(4, "error"), 2,
              "NCBI Nucleotide sent text that is not a GenBank record (\"<?xml version", 4,
              twoRecords},
         }) {
        // A fresh cache each time, so that every case asks the stand-in.
        std::filesystem::remove_all(world.cacheFolder());
        size_t before = world.standIn().requests();
        world.standIn().plan(c.plan);
        const ProcessResult result = runNcbi(c.url);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.url << " " << result.output;
        EXPECT_EQ(world.standIn().requests() - before, c.requests) << result.output;
        if (c.exitCode == 0) {
            EXPECT_EQ(parseResultPage(result.output).rows.size(), 2u) << result.output;
            continue;
        }
        EXPECT_NE(errorText(result).find(c.words), std::string::npos) << result.output;
        before = world.standIn().requests();
        const ProcessResult again = runNcbi(c.url);
        EXPECT_EQ(again.exitCode, 0) << again.output;
        EXPECT_GT(world.standIn().requests(), before) << c.url; // asked again, not kept
    }
}

// "Nothing found" is an answer: a page with 0 found whose one row, which cannot be opened, says
// what NCBI found and how it read the query; NCBI's words follow the numbers for a reader of the
// page. No error box.
TEST(NcbiHandler, nothingFoundIsAQuietAnswerThatSaysWhatNcbiSaid)
{
    NcbiWorld world;
    const ProcessResult result = runNcbi(listing("ncbi://entrez/pubmed/", "cancer%20zzqx", 0, 20));
    EXPECT_EQ(result.exitCode, 0);
    const Dbscout::ResultPage page = parseResultPage(result.output);
    EXPECT_EQ(page.status, "OK");
    EXPECT_EQ(page.totalFound, 0);
    EXPECT_EQ(page.firstNumber, 0);
    ASSERT_EQ(page.rows.size(), 1u);
    EXPECT_EQ(page.rows[0].name, "Nothing found");
    EXPECT_FALSE(page.rows[0].readable);
    EXPECT_EQ(page.rows[0].cells.at(0),
              "NCBI PubMed found no record for \"cancer zzqx\"; nothing at all for \"zzqx\"; "
              "it read the query as cancer[All Fields] AND zzqx[All Fields]. Check the spelling, "
              "or try fewer words.");
    EXPECT_NE(result.output.find("<p>NCBI: No items found.</p>"), std::string::npos);
}

TEST(NcbiHandler, noServiceAtTheAddressIsSaidPlainly)
{
    NcbiWorld world;
    world.setSetting("TimeoutSeconds", 2u);
    // A loopback port nobody listens on: the connection is refused at once.
    world.setSetting("BaseAddress", std::string("http://127.0.0.1:9/entrez/eutils/"));
    const ProcessResult refused = runNcbi(listing(kPubmed, "insulin", 0, 5));
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(errorText(refused).starts_with("Cannot connect to NCBI PubMed at 127.0.0.1:9"))
        << errorText(refused);
    // A name that cannot resolve: a label longer than names allow fails in the resolver itself,
    // so no query leaves the machine (.invalid alone would still ask the name server).
    const std::string unknownHost = std::string(64, 'e') + ".invalid";
    world.setSetting("BaseAddress", "http://" + unknownHost + "/entrez/eutils/");
    const ProcessResult unknown = runNcbi(listing(kPubmed, "insulin", 0, 5));
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(errorText(unknown).find("Cannot find the server of NCBI PubMed, " + unknownHost),
              std::string::npos)
        << errorText(unknown);
}

} // namespace
