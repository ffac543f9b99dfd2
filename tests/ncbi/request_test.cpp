// The ncbi address language, the Entrez terms a typed query becomes (filters kept outside the
// user's text, pasted lists of record names), and the E-utilities requests made of them,
// in-process.

#include "entrez_term.h"
#include "eutils_query.h"
#include "ncbi_request.h"
#include "pasted_list.h"
#include "web/read_only_parts.h"

#include <gtest/gtest.h>

using namespace Dbscout::Ncbi;
using Dbscout::Web::Command;

namespace {

using Ids = std::vector<std::string>;

TEST(NcbiRequest, addressesParseIntoDatabaseIdsCommandAndPaging)
{
    struct Case
    {
        std::string url;
        std::string database;
        Ids ids;
        Command command;
        std::string query;
        std::int64_t start;
        int page;
    };
    for (const Case& c : std::vector<Case>{
             {"ncbi://entrez/pubmed/citation/", "pubmed", {}, Command::Dir, "", 0, 100},
             {"NCBI://Entrez/nucleotide", "nucleotide", {}, Command::Dir, "", 0, 100},
             {"ncbi://entrez/nucleotide/dnarna/?start=40&page=20&query=BRCA1%5bgene%5d%20AND%20"
              "human%5borgn%5d",
              "nucleotide",
              {},
              Command::Dir,
              "BRCA1[gene] AND human[orgn]",
              40,
              20},
             {"ncbi://entrez/protein/protein/NP_034640.1?query=&user=ann&pass=x&command=fetch",
              "protein",
              {"NP_034640.1"},
              Command::Fetch,
              "",
              0,
              100},
             {"ncbi://entrez/pubmed/16403221?command=fetch&command=co",
              "pubmed",
              {"16403221"},
              Command::Fetch,
              "",
              0,
              100},
             // The panel's name box joins a multi-selection with ",": each record once, in order.
             {"ncbi://entrez/nucleotide/dnarna/X55053.1,AC007323.5,x55053.1,,6587720?command=fetch",
              "nucleotide",
              {"X55053.1", "AC007323.5", "6587720"},
              Command::Fetch,
              "",
              0,
              100},
             {"ncbi://entrez/pubmed/citation/1,2?start=0&page=5&command=co&command=dir",
              "pubmed",
              {"1", "2"},
              Command::Write,
              "",
              0,
              5},
             {"ncbi://entrez/protein/protein/?command=dir&command=schmod&subset=a&b",
              "protein",
              {},
              Command::Write,
              "",
              0,
              100},
             {"ncbi://entrez/pubmed/?command=frobnicate",
              "pubmed",
              {},
              Command::Unknown,
              "",
              0,
              100},
         }) {
        NcbiRequest request;
        ASSERT_TRUE(parseNcbiRequest(c.url, request).ok()) << c.url;
        EXPECT_EQ(request.source->name, c.database) << c.url;
        EXPECT_EQ(request.query.value_or(""), c.query) << c.url;
        WebTest::expectReadOnlyParts(request, c.ids, c.command, c.start, c.page, c.url);
    }
    // A pasted list of a few thousand accessions is a query NCBI takes (by POST); the molb
    // store's limit of 4,096 bytes is not NCBI's.
    std::string list;
    for (int i = 0; i < 3000; ++i)
        list += "NM_" + std::to_string(100000 + i) + ".1%0a";
    NcbiRequest request;
    ASSERT_TRUE(parseNcbiRequest("ncbi://entrez/nucleotide/?query=" + list, request).ok());
    EXPECT_GT(request.query->size(), 30000u);
}

TEST(NcbiRequest, malformedAddressesAreRefusedWithTheirFault)
{
    std::string thousandAndOne;
    for (int i = 0; i <= 1000; ++i)
        thousandAndOne += std::to_string(i) + ",";
    for (const auto& [url, words] : std::vector<std::pair<std::string, std::string>>{
             {"molb://local/demo/", "must start with ncbi://entrez/"},
             {"ncbi://eutils.invalid/pubmed/", "must name the host entrez"},
             {"ncbi://entrez/", "names no database"},
             {"ncbi://entrez/genome/", "no database \"genome\""},
             {"ncbi://entrez/pubmed/dnarna/", "holds no dnarna objects"},
             {"ncbi://entrez/pubmed/citation/a%zz", "malformed percent escape"},
             {"ncbi://entrez/nucleotide/dnarna/../../etc/passwd?command=fetch",
              "not an NCBI record name"},
             {"ncbi://entrez/nucleotide/dnarna/X1," + std::string(65, 'A'), "longer than 64"},
             {"ncbi://entrez/pubmed/citation/" + thousandAndOne + "?command=fetch",
              "more than 1000 records"},
             {"ncbi://entrez/pubmed/?page=0", "between 1 and 500"},
             {"ncbi://entrez/pubmed/?page=501", "between 1 and 500"},
             {"ncbi://entrez/pubmed/?start=-1", "whole number"},
             {"ncbi://entrez/pubmed/?query=a%00b", "NUL byte"},
             {"ncbi://entrez/pubmed/?query=" + std::string(65537, 'q'), "longer than 65536"},
         }) {
        NcbiRequest request;
        const Status status = parseNcbiRequest(url, request);
        EXPECT_FALSE(status.ok()) << url;
        EXPECT_NE(status.message().find(words), std::string::npos)
            << url.substr(0, 100) << ": " << status.message();
    }
}

TEST(EntrezTerm, filtersStayOutsideTheUsersText)
{
    const DatabaseInfo& protein = *databaseNamed("protein");
    for (const auto& [query, term, caption] : std::vector<std::array<std::string, 3>>{
             {"  insulin ", "insulin", ""},
             {"BRCA1[gene] AND human[orgn]", "BRCA1[gene] AND human[orgn]", ""},
             {"RefSeq", "refseq[filter]", "RefSeq"},
             {"swiss-prot reviewed", "swissprot[filter]", "Swiss-Prot reviewed"},
             {"RefSeq insulin", "(insulin) AND refseq[filter]", ""},
             {"RefSeq: insulin[title]", "(insulin[title]) AND refseq[filter]", ""},
             {"RefSeq (a) OR (b)", "((a) OR (b)) AND refseq[filter]", ""},
             // Brackets and parentheses inside a quoted phrase are the phrase's.
             {"Human \"a (b [c\"", "(\"a (b [c\") AND human[orgn]", ""},
             {"RefSeqs", "RefSeqs", ""}, // a word that merely starts like a filter
             // Unbalanced text without a filter goes to NCBI as typed: nothing is joined to it.
             {"\"insulin", "\"insulin", ""},
             {"   ", "", ""},
         }) {
        EntrezTerm result;
        ASSERT_TRUE(entrezTerm(protein, query, result).ok()) << query;
        EXPECT_EQ(result.term, term) << query;
        EXPECT_EQ(result.caption, caption) << query;
    }
    // What would capture a joined filter is refused, naming what is unbalanced and the fix.
    for (const auto& [query, words] : std::vector<std::pair<std::string, std::string>>{
             {"RefSeq \"insulin", "leaves a quoted phrase open"},
             {"Human v[", "leaves a field tag open"},
             {"RefSeq a) OR (b", "closes a parenthesis it never opened"},
             {"RefSeq ((a OR b)", "leaves 1 parenthesis open"},
             {"RefSeq ((a", "leaves 2 parentheses open"},
         }) {
        EntrezTerm result;
        const Status status = entrezTerm(protein, query, result);
        EXPECT_EQ(status.code(), Dbscout::Handlers::ErrorCode::BadRequest) << query;
        EXPECT_NE(status.message().find(words), std::string::npos) << status.message();
        EXPECT_NE(status.message().find("stays outside it"), std::string::npos) << query;
    }
}

TEST(PastedList, listsOfRecordNamesKeepTheirOrderEachOnce)
{
    const DatabaseInfo& nucleotide = *databaseNamed("nucleotide");
    const DatabaseInfo& pubmed = *databaseNamed("pubmed");
    struct Case
    {
        const DatabaseInfo& database;
        std::string query;
        Ids ids;
    };
    for (const Case& c : std::vector<Case>{
             {nucleotide,
              "NM_000410.4, AC007323\nx55053.1;6587720 NM_000410.4\r\nnm_000410.4",
              {"NM_000410.4", "AC007323", "X55053.1", "6587720"}},
             {nucleotide,
              "1MRR_A NZ_CP012345.1 KBUV00000000.1 WP_012345678.1",
              {"1MRR_A", "NZ_CP012345.1", "KBUV00000000.1", "WP_012345678.1"}},
             {pubmed, "16403221 12230038,16403221", {"16403221", "12230038"}},
             // Anything that is not a record name makes the query a search.
             {nucleotide, "NM_000410 AND human[orgn]", {}},
             {nucleotide, "BRCA1", {}},       // a gene, too few digits for an accession
             {nucleotide, "AB1234", {}},      // four digits
             {nucleotide, "NM_000410.x", {}}, // no version
             {pubmed, "NM_000410", {}},       // PubMed lists PMIDs only
             {pubmed, "insulin 2001", {}},
             {nucleotide, " ,; ", {}},
         }) {
        EXPECT_EQ(pastedList(c.database, c.query), c.ids) << c.query;
    }
}

TEST(EutilsQuery, requestsCarryEncodedTermsAndGoByPostWhenLong)
{
    const DatabaseInfo& pubmed = *databaseNamed("pubmed");
    EXPECT_EQ(historySearchQuery(pubmed, "a b&c=[d]", 1),
              "esearch.fcgi?db=pubmed&term=a%20b%26c%3D%5Bd%5D&usehistory=y&retmax=1");
    ServiceSettings settings;
    settings.baseAddress = "http://127.0.0.1:9/e/";
    settings.email = "ann@lab.org";
    settings.apiKey = "k+1";
    HttpRequest request = httpRequestFor(settings, "q?x");
    EXPECT_EQ(request.address,
              "http://127.0.0.1:9/e/q?x&tool=dbscout&email=ann%40lab.org&api_key=k%2B1");
    EXPECT_TRUE(request.form.empty());
    // Four hundred accessions make an address NCBI refuses: the same parameters go as a POST.
    Ids accessions;
    for (int i = 0; i < 400; ++i)
        accessions.push_back("ZZ_" + std::to_string(100000 + i) + ".1");
    const std::string query = fetchQuery(*databaseNamed("protein"), accessions);
    request = httpRequestFor(settings, query);
    EXPECT_EQ(request.address, "http://127.0.0.1:9/e/efetch.fcgi");
    EXPECT_EQ(request.form, query.substr(query.find('?') + 1) +
                                "&tool=dbscout&email=ann%40lab.org&api_key=k%2B1");
}

} // namespace
