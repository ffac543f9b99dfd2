// Saving through the put verb and fetching back: record columns, refusals, large objects and
// saves killed half-way (EXIST and forced saves run in the panel's end-to-end and race tests).

#include "molb_harness.h"

#include <QCryptographicHash>

#include <cstring>
#include <random>
#include <thread>
#include <tuple>

using namespace MolbTest;

namespace {

constexpr const char* kGenBank =
    "LOCUS       ABC123       12 bp    DNA     circular BCT 01-JAN-2000\n"
    "DEFINITION  A small test plasmid\n"
    "            for saving.\n"
    "ACCESSION   AB000123\n"
    "SOURCE      Escherichia coli\n"
    "  ORGANISM  Escherichia coli\n"
    "ORIGIN\n"
    "        1 acgtacgtac gt\n"
    "//\n";

std::string sha256(const std::string& bytes)
{
    return QCryptographicHash::hash(
               QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
               QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

class HandlerSave : public ::testing::Test
{
protected:
    ProcessResult put(const std::string& name, const std::string& bytes,
                      const std::string& extra = {})
    {
        return runHandler(store.url("dnarna/" + name + "?query=MAIN&command=put" + extra), bytes);
    }
    std::string fetch(const std::string& last)
    {
        const ProcessResult result = runHandler(store.url("dnarna/" + last + "?command=fetch"));
        EXPECT_EQ(result.exitCode, 0) << result.output.substr(0, 500);
        return result.output;
    }
    int objectCount()
    {
        return parseResultPage(runHandler(store.url("dnarna/?start=0&page=1")).output).totalFound;
    }

    DbscoutTest::TestEnv env;
    TestStore store = makeStore("lab");
};

TEST_F(HandlerSave, aSaveIsLinkedForFetchingAndEachRevisionKeepsItsArchiveNameAndComment)
{
    // A host records where a copy came from this way; `molb-admin log` shows the comment.
    const Dbscout::StatusPage page =
        parseStatusPage(put("my%20seq", "ACGT",
                            "&comment=Copied from ncbi:\\x2F\\x2Fentrez\\x2Fpubmed\\x2F7 a\\x26b"
                            "&arcname=ncbi%3a%2f%2fentrez%2fpubmed%2f7")
                            .output);
    EXPECT_EQ(page.status, "OK");
    EXPECT_EQ(page.linkText, "my seq");
    EXPECT_EQ(runHandler(page.linkHref).output, "ACGT");
    EXPECT_EQ(fetch("my%20seq"), "ACGT"); // by name as well
    ASSERT_EQ(
        parseStatusPage(put("my%20seq", "two", "&force=yes&arcname=my%20seq%2egb").output).status,
        "OK");
    EXPECT_EQ(runSql("lab", "SELECT revision, arcname, comment FROM revisions ORDER BY revision"),
              "1|ncbi://entrez/pubmed/7|Copied from ncbi://entrez/pubmed/7 a&b\n2|my seq.gb|\n");
    EXPECT_EQ(runSql("lab", "SELECT arcname FROM objects"), "my seq.gb\n");
}

TEST_F(HandlerSave, aRecordFillsTheColumnsAndARevisionRefreshesThem)
{
    saveObject("lab", "dnarna", "plasmid", kGenBank);
    Dbscout::ResultPage page =
        parseResultPage(runHandler(store.url("dnarna/?start=0&page=5")).output);
    ASSERT_EQ(page.rows.size(), 1u);
    EXPECT_EQ(page.rows[0].name, "plasmid"); // the saved name, not the locus
    EXPECT_EQ(page.rows[0].cells,
              (std::vector<std::string>{"AB000123", "12", "circular", "Escherichia coli",
                                        "A small test plasmid for saving", page.rows[0].cells[5]}));

    std::string changed = kGenBank;
    changed.replace(changed.find("12 bp"), 5, "14 bp");
    changed.replace(changed.find("gt\n//"), 2, "gtac");
    ASSERT_EQ(parseStatusPage(put("plasmid", changed, "&force=yes").output).status, "OK");
    page = parseResultPage(runHandler(store.url("dnarna/?start=0&page=5")).output);
    EXPECT_EQ(page.rows[0].cells[1], "14");
}

TEST_F(HandlerSave, recordsWithStrayCarriageReturnsAreSavedAndDescribed)
{
    // The bytes, then the accession, length and description the listing shows.
    using Case = std::tuple<std::string, std::string, std::string, std::string>;
    const Case cases[] = {
        {">a\r\r\nACGT\n", "a", "4", ""},
        {">b two words\r\r\nACGTT\r\n", "b", "5", "two words"},
        {">c\r", "", "", ""}, // no sequence: saved, but no record to describe
    };
    int saved = 0;
    for (const auto& [bytes, accession, length, description] : cases) {
        const std::string name = "cr" + std::to_string(++saved);
        const ProcessResult result = put(name, bytes);
        EXPECT_EQ(result.exitCode, 0) << name;
        EXPECT_EQ(parseStatusPage(result.output).status, "OK") << name << ": " << result.output;
        const Dbscout::ResultPage page =
            parseResultPage(runHandler(store.url("dnarna/?start=0&page=5&query=" + name)).output);
        ASSERT_EQ(page.rows.size(), 1u) << name;
        EXPECT_EQ(page.rows[0].cells[0], accession) << name;
        EXPECT_EQ(page.rows[0].cells[1], length) << name;
        EXPECT_EQ(page.rows[0].cells[4], description) << name;
        EXPECT_EQ(fetch(name), bytes) << name;
    }
}

TEST_F(HandlerSave, refusedSavesAnswerAnErrorPageAndStoreNothing)
{
    const std::string noDatabase =
        serverStore() ? "There is no database \"nodb\" on the server " +
                            serverAddress().host.substr(0, serverAddress().host.rfind(':')) + "."
                      : "There is no database \"nodb\" on this computer (create it with "
                        "molb-admin init nodb).";
    for (const auto& [url, message] : std::vector<std::pair<std::string, std::string>>{
             {"lab/dnarna/x?query=nosuch&command=put",
              "There is no subset \"nosuch\" of dnarna objects."},
             {"lab/dnarna/?query=MAIN&command=put",
              "The address names no object: put its name after the kind, as in "
              "molb://local/DATABASE/dnarna/NAME."},
             {"lab/x?command=put", "A save needs the object kind in the address, as in "
                                   "molb://local/DATABASE/dnarna/NAME."},
             {"lab/dnarna/%ff%fe?command=put", "The object name is not valid UTF-8 text."},
             {"lab/dnarna/%20a?command=put",
              "The object name starts or ends with a blank, which the panel would lose."},
             {"nodb/dnarna/x?command=put", noDatabase},
         }) {
        const ProcessResult result = runHandler(storeUrl(url), "bytes");
        EXPECT_EQ(result.exitCode, 1) << url;
        const Dbscout::StatusPage page = parseStatusPage(result.output);
        EXPECT_EQ(page.status, "ERROR") << url;
        EXPECT_EQ(page.messageTitle, "molb error") << url;
        EXPECT_EQ(page.message, message) << url;
    }
    EXPECT_EQ(objectCount(), 0);
}

TEST_F(HandlerSave, fetchOfAnUnknownObjectIsAnErrorPageAndAFailure)
{
    const std::string id = saveObject("lab", "dnarna", "there", "x");
    for (const auto& [url, message] : std::vector<std::pair<std::string, std::string>>{
             {"dnarna/missing", "There is no object \"missing\" of dnarna objects."},
             {"protein/" + id, "There is no object \"" + id + "\" of protein objects."},
             {"dnarna/" + id + ":7", "Object " + id + " has no revision 7."},
             {"dnarna/", "The address names no object: put its id or name after the kind."},
         }) {
        const ProcessResult result = runHandler(store.url(url + "?command=fetch"));
        EXPECT_NE(result.exitCode, 0) << url;
        EXPECT_EQ(parseResultPage(result.output).message, message) << url;
    }
    // Without a kind the id alone finds it.
    EXPECT_EQ(runHandler(store.url(id + "?command=fetch")).output, "x");
}

TEST_F(HandlerSave, a100MegabyteObjectComesBackIdentical)
{
    std::string bytes(100u << 20, '\0');
    std::mt19937_64 random(88172645463325252ULL);
    for (size_t i = 0; i < bytes.size(); i += 8) {
        const std::uint64_t word = random();
        std::memcpy(&bytes[i], &word, 8);
    }
    const std::string id = saveObject("lab", "dnarna", "big", bytes);
    const std::string fetched = fetch(id);
    EXPECT_EQ(fetched.size(), bytes.size());
    EXPECT_EQ(sha256(fetched), sha256(bytes));
}

// Starts a save of bytes, writes the first sent bytes of it (and ends its input when that is
// all), and kills the handler after wait.
void killSaveHalfWay(const std::string& url, const std::string& bytes, size_t sent,
                     std::chrono::microseconds wait)
{
    Child handler(handlerPath(), {url}, {}, true);
    std::thread writer([&] {
        if (handler.write(bytes, sent) && sent == bytes.size())
            handler.closeInput();
    });
    std::this_thread::sleep_for(wait);
    handler.kill();
    writer.join();
}

TEST_F(HandlerSave, aSaveKilledAtAnyPointLeavesNoPartialObject)
{
    const std::string bytes(8u << 20, 'G');
    const std::string url = store.url("dnarna/victim?query=MAIN&command=put");
    // Killed while the input is still coming: nothing may be stored.
    killSaveHalfWay(url, bytes, bytes.size() / 2, std::chrono::milliseconds(50));
    EXPECT_EQ(objectCount(), 0);
    // Killed at moments spread over reading, storing and committing: over the time a whole save
    // takes on this machine (sanitizer builds are many times slower), and a little beyond.
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(parseStatusPage(runHandler(url, bytes).output).status, "OK");
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - begin);
    int stored = 0;
    constexpr int kSteps = 24;
    for (int step = 0; step <= kSteps; ++step) {
        const auto wait = whole * step * 5 / (kSteps * 4);
        runSql("lab", "DELETE FROM revisions; DELETE FROM objects;"
                      " UPDATE kinds SET object_count = 0;");
        killSaveHalfWay(url, bytes, bytes.size(), wait);
        if (!serverStore()) {
            EXPECT_EQ(runSql("lab", "PRAGMA integrity_check"), "ok\n");
        }
        const int count = objectCount();
        ASSERT_LE(count, 1);
        if (count == 1) {
            ++stored;
            EXPECT_EQ(sha256(fetch("victim")), sha256(bytes))
                << "killed after " << wait.count() << " us";
            EXPECT_EQ(runSql("lab", "SELECT count(*) FROM revisions"), "1\n");
        } else {
            EXPECT_EQ(runSql("lab", "SELECT count(*) FROM revisions"), "0\n");
        }
    }
    // Both ends of the range must have been reached for the test to mean anything.
    EXPECT_GT(stored, 0);
    EXPECT_LT(stored, kSteps + 1);
}

} // namespace
