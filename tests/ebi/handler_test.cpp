// ebi-handler as a real process against the UniProt and ENA stand-in: listings the component's
// own parser reads, the filters, records as text, read-only refusals, the cache, and every way a
// service or the network can fail (never kept, asked again next time).

#include "ebi_harness.h"

using namespace EbiTest;
using MolbTest::parseResultPage;

namespace {

const std::string kUniProt = "ebi://uniprotkb/protein/";
const std::string kEna = "ebi://ena/dnarna/";

TEST(EbiHandler, searchesListWithEachSourcesColumnsFiltersAndExactTotal)
{
    EbiWorld world;
    struct Case
    {
        std::string base;
        std::string source; // the stand-in's name of it
        std::string typed;
        std::string asked; // what the service is asked for
        std::string caption;
        std::vector<std::string> columns;
        std::vector<std::string> firstRow; // its link text and cells
    };
    const std::vector<std::string> uniprotColumns{"Accession", "Entry name", "Protein",
                                                  "Organism",  "Length",     "Modified"};
    const std::vector<std::string> enaColumns{"Accession", "Description", "Organism", "Length",
                                              "Updated"};
    for (const Case& c : std::vector<Case>{
             {kUniProt,
              "uniprot",
              "gene:HLA-A AND organism_id:9606",
              "gene:HLA-A AND organism_id:9606",
              "",
              uniprotColumns,
              {"P04439", "HLAA_HUMAN", "HLA class I histocompatibility antigen, A alpha chain",
               "Homo sapiens (Human)", "365", "2022-10-12"}},
             // A filter alone names the listing; a filter with typed words searches within it.
             {kUniProt,
              "uniprot",
              "With 3D structure",
              "structure_3d:true",
              "With 3D structure",
              uniprotColumns,
              {"P04439"}},
             {kUniProt,
              "uniprot",
              "Unreviewed (TrEMBL) ammonia",
              "(ammonia) AND reviewed:false",
              "",
              uniprotColumns,
              {"H2CNN8"}},
             {kEna,
              "ena",
              "tax_eq(3899) AND mol_type=\"mRNA\"",
              "tax_eq(3899) AND mol_type=\"mRNA\"",
              "",
              enaColumns,
              {"X56734.1", "Trifolium repens mRNA for non-cyanogenic beta-glucosidase",
               "Trifolium repens (white clover)", "1859", "2005-11-25"}},
             // Plain words and accessions become ENA's own fields.
             {kEna,
              "ena",
              "beta-glucosidase",
              "description=\"*beta-glucosidase*\"",
              "",
              enaColumns,
              {"X56734.1"}},
             {kEna,
              "ena",
              "Genomic DNA X56734.1",
              "(accession=\"X56734\") AND mol_type=\"genomic DNA\"",
              "",
              enaColumns,
              {}},
             {kEna,
              "ena",
              "Human chromosome",
              "(description=\"*chromosome*\") AND tax_eq(9606)",
              "",
              enaColumns,
              {"AJ229040.1"}},
         }) {
        const ProcessResult result = runEbi(listingOf(c.base, c.typed, 0, 100));
        ASSERT_EQ(result.exitCode, 0) << c.typed << "\n" << result.output;
        const Dbscout::ResultPage page = parseResultPage(result.output);
        const Truth truth = world.standIn().truth(c.source, c.asked, 0, 100);
        EXPECT_EQ(page.columns, c.columns);
        EXPECT_EQ(page.caption.name, c.caption) << c.typed;
        EXPECT_EQ(page.totalFound, truth.total) << c.typed;
        EXPECT_EQ(page.subsets.size(), 4u);
        if (truth.total == 0) {
            // Nothing found is one row that cannot be opened, and the count stays 0.
            ASSERT_EQ(page.rows.size(), 1u) << c.typed;
            EXPECT_EQ(page.rows[0].name, "Nothing found");
            EXPECT_FALSE(page.rows[0].readable);
            EXPECT_EQ(page.firstNumber, 0);
            continue;
        }
        EXPECT_EQ(idsOf(page), truth.ids) << c.typed;
        ASSERT_FALSE(page.rows.empty());
        EXPECT_TRUE(page.rows[0].readable);
        EXPECT_FALSE(page.rows[0].writable);
        EXPECT_EQ(page.rows[0].name, c.firstRow[0]);
        for (size_t i = 1; i < c.firstRow.size(); ++i)
            EXPECT_EQ(page.rows[0].cells[i - 1], c.firstRow[i]) << c.typed;
    }
    // An empty query (the panel's first listing) asks nothing and says how to search.
    const size_t before = world.standIn().requests();
    const ProcessResult empty = runEbi(kUniProt + "?start=0&page=100");
    ASSERT_EQ(empty.exitCode, 0);
    EXPECT_EQ(parseResultPage(empty.output).totalFound, 0);
    EXPECT_NE(empty.output.find("gene:INS AND organism_id:9606"), std::string::npos);
    EXPECT_EQ(world.standIn().requests(), before);
}

TEST(EbiHandler, recordsStreamAsFlatTextAndAreKept)
{
    EbiWorld world;
    struct Case
    {
        std::string url;
        int exitCode;
        std::vector<std::string> starts; // each record's first line, in order
    };
    for (const Case& c : std::vector<Case>{
             {kUniProt + "P04439?command=fetch", 0, {"ID   HLAA_HUMAN "}},
             // An entry name names the same entry; several come in the order asked.
             {kUniProt + "INS_NONE,1433E_HUMAN,P04439?command=fetch",
              3,
              {"ID   1433E_HUMAN ", "ID   HLAA_HUMAN "}},
             {kEna + "X56734.1,AJ229040?command=fetch", 0, {"ID   X56734;", "ID   AJ229040;"}},
         }) {
        for (int visit = 0; visit < 2; ++visit) {
            const size_t before = world.standIn().requests();
            const ProcessResult result = runEbi(c.url);
            EXPECT_EQ(result.exitCode, c.exitCode) << c.url;
            std::vector<std::string> starts;
            for (size_t at = 0; at < result.output.size();) {
                starts.push_back(result.output.substr(at, result.output.find('\n', at) - at));
                const size_t end = result.output.find("\n//\n", at);
                ASSERT_NE(end, std::string::npos) << c.url;
                at = end + 4;
            }
            EXPECT_EQ(starts.size(), c.starts.size()) << c.url;
            for (size_t i = 0; i < std::min(starts.size(), c.starts.size()); ++i)
                EXPECT_TRUE(starts[i].starts_with(c.starts[i])) << starts[i];
            // The second visit: every record from the cache, only the missing one asked again.
            if (visit == 1) {
                EXPECT_EQ(world.standIn().requests() - before, size_t(c.exitCode == 3 ? 1 : 0))
                    << c.url;
            }
        }
    }
    const ProcessResult none = runEbi(kEna + "XX999999?command=fetch");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(errorText(none).find("ENA has no record XX999999"), std::string::npos);
}

TEST(EbiHandler, refusalsAndMalformedAddressesSayWhatToDo)
{
    EbiWorld world;
    struct Case
    {
        std::string url;
        std::string says;
    };
    for (const Case& c : std::vector<Case>{
             {kUniProt + "P04439?command=put", "UniProtKB is read-only"},
             {kEna + "X56734?command=ci", "ENA is read-only"},
             {kEna + "?command=frobnicate", "\"frobnicate\" is not served by the ebi handler"},
             {kUniProt + "?command=fetch", "names no record to open"},
             {"ebi://pdb/", "EBI has no source \"pdb\""},
             {"ebi://uniprotkb/dnarna/P04439", "UniProtKB holds no dnarna objects"},
             {kUniProt + "P0%2A439?command=fetch", "\"P0*439\" is not an UniProtKB record name"},
             {kUniProt + "?query=x&page=501", "page"},
             {listingOf(kUniProt, "Human (insulin", 0, 10), "leaves 1 parenthesis open"},
         }) {
        const ProcessResult result = runEbi(c.url);
        EXPECT_EQ(result.exitCode, 1) << c.url;
        EXPECT_NE(errorText(result).find(c.says), std::string::npos)
            << c.url << ": " << result.output;
    }
    EXPECT_EQ(world.standIn().requests(), 0u);
}

TEST(EbiHandler, failuresAreRetriedNamedAndNeverKept)
{
    EbiWorld world;
    world.setSetting("TimeoutSeconds", 2u);
    // Each case its own search, so that no case's answer is another's from the cache.
    int cases = 0;
    const auto uniprot = [&cases] {
        return listingOf(kUniProt, "gene:YWHAE OR id:case" + std::to_string(++cases), 0, 10);
    };
    const auto ena = [&cases] {
        return listingOf(kEna, "tax_eq(3899) OR accession=\"case" + std::to_string(++cases) + "\"",
                         0, 10);
    };
    struct Case
    {
        std::string url;
        std::vector<std::string> plan;
        int exitCode;
        std::string says; // in the error page; empty when the listing succeeds
        size_t requests;  // that arrived at the stand-in
    };
    for (const Case& c : std::vector<Case>{
             // The service's own words in its JSON refusal.
             {listingOf(kUniProt, "gen:INS", 0, 10),
              {},
              2,
              "UniProtKB refused the request (HTTP 400: 'gen' is not a valid search field)",
              1},
             {listingOf(kEna, "sequence_lenght=\"5\"", 0, 10),
              {},
              2,
              "ENA refused the request (HTTP 400: Invalid field sequence_lenght in query)",
              1},
             // Busy answers are tried again, after the pause the service asks for.
             {uniprot(), {"status 429 1"}, 0, "", 2},
             {ena(), {"status 503", "cut"}, 0, "", 4},
             {uniprot(),
              {"status 503", "status 503", "status 503", "status 503"},
              2,
              "UniProtKB failed (HTTP 503), still after 4 tries",
              4},
             // What is not the data asked for is asked again, and named when it stays so.
             {uniprot(),
              {"html", "html", "html", "html"},
              2,
              "UniProtKB sent a web page titled \"503 Service Temporarily Unavailable\" instead",
              4},
             {uniprot(), {"malformed", "nototal"}, 0, "", 3},
             {ena(),
              {"", "malformed", "malformed", "malformed", "malformed"},
              2,
              "ENA sent a table cut short instead of the data asked for",
              5},
             {uniprot(),
              {"slow 3", "slow 3", "slow 3", "slow 3"},
              2,
              "UniProtKB did not answer within 2 seconds",
              1},
         }) {
        world.standIn().plan(c.plan);
        const size_t before = world.standIn().requests();
        const ProcessResult result = runEbi(c.url);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.url << "\n" << result.output;
        if (!c.says.empty()) {
            EXPECT_NE(errorText(result).find(c.says), std::string::npos) << result.output;
        }
        EXPECT_EQ(world.standIn().requests() - before, c.requests) << c.url;
        world.standIn().plan({});
        // A failure is never kept: the next visit asks again (and, listed, is kept).
        if (c.exitCode != 0) {
            const size_t again = world.standIn().requests();
            runEbi(c.url);
            EXPECT_GT(world.standIn().requests(), again) << c.url;
        }
    }
    // A host that does not resolve, a port nobody listens on.
    for (const auto& [address, says] : std::vector<std::pair<std::string, std::string>>{
             {"http://no-such-host.invalid/", "Cannot find the server of UniProtKB"},
             {"http://127.0.0.1:9/", "Cannot connect to UniProtKB at 127.0.0.1:9"}}) {
        world.setSetting("UniProtAddress", address);
        const ProcessResult result = runEbi(listingOf(kUniProt, "insulin", 0, 10));
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(errorText(result).find(says), std::string::npos) << result.output;
    }
}

} // namespace
