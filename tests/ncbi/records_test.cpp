// ncbi-handler and NCBI's records, against the E-utilities stand-in: columns from NCBI's own
// fields, records without a GI found and opened by accession.version, pasted lists of
// accessions, long queries by POST, and several records fetched at once in the order asked.

#include "ncbi_harness.h"

#include <algorithm>

using namespace NcbiTest;
using MolbTest::parseResultPage;

namespace {

const std::vector<std::string> kWithKey{"NCBI_API_KEY=records"};
const std::string kNucleotide = "ncbi://entrez/nucleotide/dnarna/";

// The page of query's listing in base, which must be answered.
Dbscout::ResultPage listPage(const std::string& base, const std::string& query, int start, int page)
{
    const ProcessResult result = runNcbi(listingOf(base, query, start, page), kWithKey);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return parseResultPage(result.output);
}

std::string fetching(const std::string& base, const std::vector<std::string>& ids)
{
    std::string path;
    for (const std::string& id : ids)
        path += (path.empty() ? "" : ",") + id;
    return base + path + "?query=&command=fetch";
}

// The text after "KEY  " on the first line of record that starts with it.
std::string field(const std::string& record, const std::string& key)
{
    const std::string text = "\n" + record;
    const size_t at = text.find("\n" + key);
    if (at == std::string::npos)
        return {};
    const size_t start = text.find_first_not_of(' ', at + 1 + key.size());
    return text.substr(start, text.find('\n', start) - start);
}

// The record of a file of several whose VERSION line names version.
std::string recordOf(const std::string& file, const std::string& version)
{
    const std::string text = fixture(file);
    const size_t at = text.find("\nVERSION     " + version);
    const size_t start = text.rfind("LOCUS", at);
    return text.substr(start, text.find("\n//", at) + 4 - start);
}

// The VERSION of each record of an answer, in order.
std::vector<std::string> versions(const std::string& answer)
{
    std::vector<std::string> names;
    for (size_t at = answer.find("\nVERSION     "); at != std::string::npos;
         at = answer.find("\nVERSION     ", at + 1))
        names.push_back(answer.substr(at + 13, answer.find_first_of(" \n", at + 13) - at - 13));
    return names;
}

TEST(NcbiRecords, columnsAreNcbisOwnFieldsNeverGuessedFromTitles)
{
    NcbiWorld world;
    // AC007323.5's title starts "Genomic sequence for Arabidopsis ...", 1MRR_A's names no
    // organism: the Organism column is NCBI's organism, as each record's ORGANISM line has it.
    const Dbscout::ResultPage page = listPage(kNucleotide, "Arabidopsis thaliana[orgn]", 0, 3);
    ASSERT_EQ(page.rows.size(), 3u);
    for (const Dbscout::ResultRow& row : page.rows) {
        const std::string record =
            recordOf(row.id == "AC007323.5" ? "arab1.gb.gz" : "cor6_6.gb.gz", row.id);
        ASSERT_FALSE(record.empty()) << row.id;
        EXPECT_EQ(row.cells.at(2), field(record, "  ORGANISM")) << row.id;
        EXPECT_TRUE(field(record, "LOCUS").find(" " + row.cells.at(1) + " bp") != std::string::npos)
            << row.id;
        EXPECT_TRUE(field(record, "DEFINITION").starts_with(row.cells.at(0).substr(0, 40)))
            << row.id;
    }
    const Dbscout::ResultPage proteins =
        listPage("ncbi://entrez/protein/protein/", "1MRR_A NP_005537.3 NP_034640.1", 0, 10);
    ASSERT_EQ(proteins.rows.size(), 3u);
    const std::string sample = fixture("esummary_v2_protein.xml");
    const size_t organism = sample.find("<Organism>") + 10;
    for (const auto& [row, organismOfRecord] : std::vector<std::pair<size_t, std::string>>{
             {0, field(fixture("1MRR_A.gp.gz"), "  ORGANISM")},
             {1, sample.substr(organism, sample.find('<', organism) - organism)},
             {2, field(fixture("protein_refseq.gb"), "  ORGANISM")},
         }) {
        EXPECT_EQ(proteins.rows[row].cells.at(2), organismOfRecord) << proteins.rows[row].id;
        EXPECT_TRUE(proteins.rows[row].readable);
    }
}

// NCBI no longer gives new sequence records a GI, and such records are not in Entrez's indexes:
// no search or summary finds them, efetch does by accession.version. A pasted accession finds
// them so, and they open by accession.version, the record as NCBI sent it.
TEST(NcbiRecords, recordsWithoutAGiAreFoundByAccessionAndOpenedByAccessionVersion)
{
    NcbiWorld world;
    const Dbscout::ResultPage page = listPage(kNucleotide, "GU949562.1 zz_000010 X55053.1", 0, 10);
    ASSERT_EQ(page.rows.size(), 3u);
    const std::string gu = fixture("GU949562.1.gb");
    EXPECT_EQ(page.rows[0].id, "GU949562.1");
    EXPECT_EQ(page.rows[0].cells.at(2), field(gu, "  ORGANISM"));
    EXPECT_EQ(page.rows[1].id, "ZZ_000010.1"); // the accession, by the version NCBI has
    EXPECT_TRUE(page.rows[0].readable && page.rows[1].readable && page.rows[2].readable);
    EXPECT_EQ(world.standIn().requests(), 2u); // the summaries, and efetch for those without
    const ProcessResult opened = runNcbi(fetching(kNucleotide, {page.rows[0].id}), kWithKey);
    EXPECT_EQ(opened.exitCode, 0);
    EXPECT_EQ(opened.output, gu);
    const ProcessResult synthetic = runNcbi(fetching(kNucleotide, {page.rows[1].id}), kWithKey);
    EXPECT_EQ(versions(synthetic.output), std::vector<std::string>{"ZZ_000010.1"});
    EXPECT_EQ(world.standIn().requests(), 2u); // both kept when they were listed
}

// A list of accessions from a paper, as pasted: exactly those records, in the order given, each
// once; those NCBI does not know are rows that name them and cannot be opened.
// count of the stand-in's accessions "ZZ_000001.1" and up, the i-th numbered i * step % range + 1:
// in no order, and each once while count stays within range (step and range share no factor).
std::vector<std::string> standInAccessions(int count, int step, int range)
{
    std::vector<std::string> accessions;
    for (int i = 0; i < count; ++i)
        accessions.push_back("ZZ_" + std::to_string(1000000 + (i * step % range) + 1).substr(1) +
                             ".1");
    return accessions;
}

TEST(NcbiRecords, aPastedListOfFiftyAccessionsListsExactlyThose)
{
    NcbiWorld world;
    std::vector<std::string> given = standInAccessions(44, 37, 97);
    given.insert(given.begin() + 5, "NOPE00001.1");
    given.insert(given.begin() + 20, "ZZ_999999.1");
    given.insert(given.begin() + 30, "X99999");
    given.push_back("AC007323");                     // the latest version of an accession
    given.insert(given.begin() + 12, "zz_000002.1"); // a repeat, in another case
    const std::string repeated = given[3];
    given.insert(given.begin() + 40, repeated);
    ASSERT_EQ(given.size(), 50u);
    std::string pasted;
    for (size_t i = 0; i < given.size(); ++i)
        pasted += given[i] + (i % 3 == 0 ? ",\n" : i % 3 == 1 ? "; " : " ");
    std::vector<std::string> expected;
    for (std::string id : given) {
        std::transform(id.begin(), id.end(), id.begin(), ::toupper);
        if (std::find(expected.begin(), expected.end(), id) == expected.end())
            expected.push_back(id);
    }
    const Dbscout::ResultPage page = listPage(kNucleotide, pasted, 0, 100);
    EXPECT_EQ(page.totalFound, static_cast<int>(expected.size()));
    ASSERT_EQ(page.rows.size(), expected.size());
    std::vector<std::string> unknown;
    for (size_t i = 0; i < expected.size(); ++i) {
        const Dbscout::ResultRow& row = page.rows[i];
        if (expected[i] == "AC007323")
            EXPECT_EQ(row.id, "AC007323.5");
        else
            EXPECT_EQ(row.id, expected[i]);
        if (!row.readable) {
            unknown.push_back(row.id);
            EXPECT_EQ(row.cells.at(0), "Not found: NCBI Nucleotide has no record of this name");
        }
    }
    EXPECT_EQ(unknown, (std::vector<std::string>{"NOPE00001.1", "ZZ_999999.1", "X99999"}));
    EXPECT_LE(world.standIn().requests(), 2u);
    // The list pages like any listing, the count staying the list's.
    const Dbscout::ResultPage last = listPage(kNucleotide, pasted, 40, 20);
    EXPECT_EQ(last.totalFound, static_cast<int>(expected.size()));
    ASSERT_EQ(last.rows.size(), expected.size() - 40);
    EXPECT_EQ(last.rows.front().id, expected[40]);
}

// A query of four hundred accessions makes requests longer than NCBI takes as addresses: they go
// by POST, and no request is refused.
TEST(NcbiRecords, fourHundredAccessionsGoByPost)
{
    NcbiWorld world;
    std::string query;
    for (int n = 1; n <= 400; ++n)
        query += (query.empty() ? "ZZ_" : " OR ZZ_") + std::to_string(1000000 + n).substr(1) +
                 ".1[accn]";
    const Dbscout::ResultPage page = listPage(kNucleotide, query, 0, 100);
    EXPECT_EQ(page.totalFound, world.standIn().count("nucleotide", query));
    std::vector<std::string> ids;
    for (const Dbscout::ResultRow& row : page.rows)
        ids.push_back(row.id);
    EXPECT_EQ(ids, world.standIn().ids("nucleotide", query, 0, 100));
    const std::vector<Arrival> arrivals = world.standIn().arrivals();
    ASSERT_EQ(arrivals.size(), 2u);
    EXPECT_EQ(arrivals[0].method, "POST"); // the search, with the whole query
    EXPECT_TRUE(arrivals[0].request.starts_with("/entrez/eutils/esearch.fcgi?db=nucleotide&term="));
}

// The panel's name box joins a multi-selection with ",": the records come in the order asked,
// each once, in as few efetch requests as NCBI allows; an id NCBI does not have is left out and
// the exit status (3) says so; every record is kept on its own for the next open.
TEST(NcbiRecords, severalRecordsComeInTheOrderAskedInFewRequests)
{
    NcbiWorld world;
    std::vector<std::string> asked = standInAccessions(120, 53, 1999);
    asked.insert(asked.begin() + 60, "ZZ_999999.1");
    ProcessResult result = runNcbi(fetching(kNucleotide, asked), kWithKey);
    EXPECT_EQ(result.exitCode, 3);
    std::vector<std::string> expected = asked;
    expected.erase(expected.begin() + 60);
    EXPECT_EQ(versions(result.output), expected); // ZZ_999999.1 is the one missing
    EXPECT_EQ(world.standIn().requests(), 1u);
    EXPECT_EQ(runNcbi(fetching(kNucleotide, {asked[7], asked[90]}), kWithKey).exitCode, 0);
    EXPECT_EQ(world.standIn().requests(), 1u); // both kept

    // A GI stands for its accession.version (records do not carry GIs): one summary more.
    const std::string version = field(recordOf("cor6_6.gb.gz", "X62281.1"), "VERSION");
    const std::string gi = version.substr(version.find("GI:") + 3);
    result = runNcbi(fetching(kNucleotide, {"X55053.1", gi}), kWithKey);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output,
              recordOf("cor6_6.gb.gz", "X55053.1") + recordOf("cor6_6.gb.gz", "X62281.1"));
    EXPECT_EQ(world.standIn().requests(), 3u);

    // MEDLINE records are told apart by a blank line.
    const std::string pubmed = "ncbi://entrez/pubmed/citation/";
    result = runNcbi(fetching(pubmed, {"16403221", "2", "12230038"}), kWithKey);
    EXPECT_EQ(result.exitCode, 3);
    const std::string first = runNcbi(fetching(pubmed, {"16403221"}), kWithKey).output;
    const std::string second = runNcbi(fetching(pubmed, {"12230038"}), kWithKey).output;
    EXPECT_EQ(result.output, first + "\n" + second);
    // None of them: an error page that names them.
    result = runNcbi(fetching(pubmed, {"2", "3"}), kWithKey);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(
        parseResultPage(result.output).message.starts_with("NCBI PubMed has no record 2, 3:"))
        << result.output;
}

} // namespace
