// The ncbi address language, the Entrez terms a typed query becomes, and the E-utilities
// requests made of them, in-process.

#include "entrez_term.h"
#include "eutils_query.h"
#include "ncbi_request.h"

#include <gtest/gtest.h>

using namespace Dbscout::Ncbi;

namespace {

TEST(NcbiRequest, addressesParseIntoDatabaseIdCommandAndPaging)
{
    struct Case
    {
        std::string url;
        std::string database, id;
        Command command;
        std::string query;
        std::int64_t start;
        int page;
    };
    for (const Case& c : std::vector<Case>{
             {"ncbi://entrez/pubmed/citation/", "pubmed", "", Command::Dir, "", 0, 100},
             {"NCBI://Entrez/nucleotide", "nucleotide", "", Command::Dir, "", 0, 100},
             {"ncbi://entrez/nucleotide/dnarna/?start=40&page=20&query=BRCA1%5bgene%5d%20AND%20"
              "human%5borgn%5d",
              "nucleotide", "", Command::Dir, "BRCA1[gene] AND human[orgn]", 40, 20},
             {"ncbi://entrez/protein/protein/NP_034640.1?query=&user=ann&pass=x&command=fetch",
              "protein", "NP_034640.1", Command::Fetch, "", 0, 100},
             {"ncbi://entrez/pubmed/16403221?command=fetch&command=co", "pubmed", "16403221",
              Command::Fetch, "", 0, 100},
             {"ncbi://entrez/pubmed/citation/1,2?start=0&page=5&command=co&command=dir", "pubmed",
              "1,2", Command::Write, "", 0, 5},
             {"ncbi://entrez/protein/protein/?command=dir&command=schmod&subset=a&b", "protein", "",
              Command::Write, "", 0, 100},
             {"ncbi://entrez/pubmed/?command=frobnicate", "pubmed", "", Command::Unknown, "", 0,
              100},
         }) {
        NcbiRequest request;
        ASSERT_TRUE(parseNcbiRequest(c.url, request).ok()) << c.url;
        EXPECT_EQ(request.database->name, c.database) << c.url;
        EXPECT_EQ(request.id, c.id) << c.url;
        EXPECT_EQ(request.command, c.command) << c.url;
        EXPECT_EQ(request.query.value_or(""), c.query) << c.url;
        EXPECT_EQ(request.start, c.start) << c.url;
        EXPECT_EQ(request.pageSize, c.page) << c.url;
    }
}

TEST(NcbiRequest, malformedAddressesAreRefusedWithTheirFault)
{
    for (const auto& [url, words] : std::vector<std::pair<std::string, std::string>>{
             {"molb://local/demo/", "must start with ncbi://entrez/"},
             {"ncbi://eutils.invalid/pubmed/", "must name the host entrez"},
             {"ncbi://entrez/", "names no database"},
             {"ncbi://entrez/genome/", "no database \"genome\""},
             {"ncbi://entrez/pubmed/dnarna/", "holds no dnarna objects"},
             {"ncbi://entrez/pubmed/citation/a%zz", "malformed percent escape"},
             {"ncbi://entrez/nucleotide/dnarna/../../etc/passwd?command=fetch",
              "not an NCBI record name"},
             {"ncbi://entrez/nucleotide/dnarna/" + std::string(65, 'A'), "longer than 64"},
             {"ncbi://entrez/pubmed/?page=0", "between 1 and 500"},
             {"ncbi://entrez/pubmed/?page=501", "between 1 and 500"},
             {"ncbi://entrez/pubmed/?start=-1", "whole number"},
             {"ncbi://entrez/pubmed/?query=a%00b", "NUL byte"},
             {"ncbi://entrez/pubmed/?query=" + std::string(4097, 'q'), "longer than 4096"},
         }) {
        NcbiRequest request;
        const Status status = parseNcbiRequest(url, request);
        EXPECT_FALSE(status.ok()) << url;
        EXPECT_NE(status.message().find(words), std::string::npos)
            << url << ": " << status.message();
    }
}

TEST(EntrezTerm, queriesFiltersAndQueriesWithinFilters)
{
    const DatabaseInfo& protein = *databaseNamed("protein");
    for (const auto& [query, term, caption] : std::vector<std::array<std::string, 3>>{
             {"  insulin ", "insulin", ""},
             {"BRCA1[gene] AND human[orgn]", "BRCA1[gene] AND human[orgn]", ""},
             {"RefSeq", "refseq[filter]", "RefSeq"},
             {"swiss-prot reviewed", "swissprot[filter]", "Swiss-Prot reviewed"},
             {"RefSeq insulin", "(insulin) AND refseq[filter]", ""},
             {"RefSeq: insulin[title]", "(insulin[title]) AND refseq[filter]", ""},
             {"RefSeqs", "RefSeqs", ""}, // a word that merely starts like a filter
             {"   ", "", ""},
         }) {
        const EntrezTerm result = entrezTerm(protein, query);
        EXPECT_EQ(result.term, term) << query;
        EXPECT_EQ(result.caption, caption) << query;
    }
}

TEST(EutilsQuery, requestsCarryEncodedTermsAndTheCallersIdentity)
{
    const DatabaseInfo& pubmed = *databaseNamed("pubmed");
    EXPECT_EQ(searchQuery(pubmed, "a b&c=[d]", 20, 10),
              "esearch.fcgi?db=pubmed&term=a%20b%26c%3D%5Bd%5D&retstart=20&retmax=10");
    EXPECT_EQ(summaryQuery(pubmed, {"1", "22"}), "esummary.fcgi?db=pubmed&retmode=xml&id=1,22");
    EXPECT_EQ(fetchQuery(*databaseNamed("nucleotide"), "NT_019265"),
              "efetch.fcgi?db=nucleotide&id=NT_019265&rettype=gb&retmode=text");
    ServiceSettings settings;
    settings.baseAddress = "http://127.0.0.1:9/e/";
    EXPECT_EQ(requestAddress(settings, "efetch.fcgi?db=pubmed"),
              "http://127.0.0.1:9/e/efetch.fcgi?db=pubmed&tool=dbscout");
    settings.email = "ann@lab.org";
    settings.apiKey = "k+1";
    EXPECT_EQ(requestAddress(settings, "q?x"),
              "http://127.0.0.1:9/e/q?x&tool=dbscout&email=ann%40lab.org&api_key=k%2B1");
}

} // namespace
