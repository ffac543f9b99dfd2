// Saving many objects in one handler run (command=put&batch=yes): each object as a single put
// saves it (columns, rights, taken names, archive name and comment), a malformed batch refused
// whole, and a batch stopped or killed at any point telling only what is stored.

#include "molb_harness.h"

#include <QXmlStreamReader>

#include <csignal>
#include <map>
#include <thread>

using namespace MolbTest;

namespace {

std::string genBank(const std::string& accession, int length)
{
    std::string bases;
    for (int i = 0; i < length; ++i)
        bases += "acgt"[(i * 7 + int(accession.size())) % 4];
    return "LOCUS       " + accession + "  " + std::to_string(length) +
           " bp    DNA     linear   SYN 01-JAN-2020\n"
           "DEFINITION  Synthetic record " +
           accession + ".\nACCESSION   " + accession + "\nVERSION     " + accession +
           ".1\nSOURCE      Escherichia coli\n  ORGANISM  Escherichia coli\nORIGIN\n        1 " +
           bases + "\n//\n";
}

struct Framed
{
    std::string header; // after the size: "dnarna/NAME?..."
    std::string bytes;
};

std::string frames(const std::vector<Framed>& objects)
{
    std::string input = "molb-batch 1\n";
    for (const Framed& object : objects)
        input +=
            std::to_string(object.bytes.size()) + " " + object.header + "\n" + object.bytes + "\n";
    return input;
}

// The answer's lines per object: "OK 1 NAME", "EXIST NAME", "REFUSED message", "STOPPED ...";
// a line the page was cut off in is none.
std::vector<std::string> outcomes(const std::string& page)
{
    std::vector<std::string> lines;
    QXmlStreamReader xml(QByteArray::fromStdString(page));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("li"))
            continue;
        QString line = xml.attributes().value("class").toString();
        if (const auto revision = xml.attributes().value("revision"); !revision.isEmpty())
            line += " " + revision.toString();
        // The object's name (its link's text) or why it was not stored.
        line += " " + xml.readElementText(QXmlStreamReader::IncludeChildElements);
        if (!xml.hasError())
            lines.push_back(line.toStdString());
    }
    return lines;
}

class HandlerBatch : public ::testing::Test
{
protected:
    ProcessResult batch(const std::vector<Framed>& objects, const std::string& extra = {})
    {
        return runHandler(store.url("?command=put&batch=yes" + extra), frames(objects));
    }
    std::vector<Framed> records(int count, const std::string& header = "")
    {
        std::vector<Framed> objects;
        for (int i = 0; i < count; ++i) {
            const std::string accession = "BT" + std::to_string(100000 + i);
            objects.push_back({"dnarna/" + accession + "%2e1" + header, genBank(accession, 30)});
        }
        return objects;
    }
    // The size of every stored object's latest revision, by name.
    std::map<std::string, size_t> stored()
    {
        std::map<std::string, size_t> sizes;
        const std::string rows = runSql(
            "lab", "SELECT o.name, length(r.data) FROM objects o JOIN revisions r ON r.object_id "
                   "= o.id ORDER BY o.id, r.revision");
        for (size_t at = 0; at < rows.size();) {
            const size_t end = rows.find('\n', at);
            const std::string row = rows.substr(at, end - at);
            sizes[row.substr(0, row.find('|'))] = std::stoul(row.substr(row.find('|') + 1));
            at = end + 1;
        }
        return sizes;
    }

    DbscoutTest::TestEnv env;
    TestStore store = makeStore("lab");
};

TEST_F(HandlerBatch, eachObjectIsStoredAsASinglePutStoresIt)
{
    const std::string record = genBank("AB000123", 40);
    ASSERT_EQ(saveObject("lab", "dnarna", "alone", record), "1");
    ASSERT_EQ(store.admin("subset add", {"From NCBI", "--kind", "dnarna"}).exitCode, 0);
    const ProcessResult result =
        batch({{"dnarna/AB000123%2e1?arcname=ncbi%3a%2f%2fentrez%2fnucleotide%2fAB000123%2e1"
                "&comment=Copied from ncbi:\\x2F\\x2Fentrez\\x2Fnucleotide\\x2FAB000123.1",
                record},
               {"protein/P1?comment=second\\nline", ">P1 a protein\nMKV\n"}},
              "&query=From%20NCBI");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(outcomes(result.output), (std::vector<std::string>{
                                           "OK 1 AB000123.1",
                                           "REFUSED There is no subset \"From NCBI\" of protein "
                                           "objects.",
                                       }));
    EXPECT_NE(result.output.find("href=\"" + storeUrl("lab/dnarna/2?command=fetch") + "\""),
              std::string::npos);
    // The bytes as sent, the columns as the same record saved alone has them, in the subset.
    EXPECT_EQ(runHandler(store.url("dnarna/2?command=fetch")).output, record);
    const Dbscout::ResultPage page =
        parseResultPage(runHandler(store.url("dnarna/?start=0&page=10")).output);
    ASSERT_EQ(page.rows.size(), 2u);
    EXPECT_EQ(page.rows[0].cells, page.rows[1].cells);
    EXPECT_EQ(page.rows[1].name, "AB000123.1");
    EXPECT_EQ(parseResultPage(runHandler(store.url("dnarna/?query=From%20NCBI")).output).totalFound,
              1);
    // The archive name and the comment are the object's own.
    const std::string log = store.admin("log", {"2"}).output;
    EXPECT_NE(log.find(" bytes\tncbi://entrez/nucleotide/AB000123.1\n"
                       "    Copied from ncbi://entrez/nucleotide/AB000123.1\n"),
              std::string::npos)
        << log;
    // newsubset=yes makes the subset a kind lacks, as command=cs makes one.
    EXPECT_EQ(
        outcomes(batch({{"protein/P1", ">P1 a protein\nMKV\n"}}, "&query=From%20NCBI&newsubset=yes")
                     .output),
        std::vector<std::string>{"OK 1 P1"});
    EXPECT_EQ(
        parseResultPage(runHandler(store.url("protein/?query=From%20NCBI")).output).totalFound, 1);
}

TEST_F(HandlerBatch, aTakenNameIsExistUnlessItsObjectAsksForceAndThenANewRevision)
{
    ASSERT_EQ(batch(records(2)).exitCode, 0);
    std::vector<Framed> again = records(3);
    again[1].header += "?force=yes&comment=again";
    again[1].bytes = genBank("BT100001", 50);
    const ProcessResult result = batch(again);
    EXPECT_EQ(outcomes(result.output), (std::vector<std::string>{
                                           "EXIST BT100000.1",
                                           "OK 2 BT100001.1",
                                           "OK 1 BT100002.1",
                                       }));
    EXPECT_EQ(runHandler(store.url("dnarna/BT100001%2e1?command=fetch")).output, again[1].bytes);
    EXPECT_EQ(runSql("lab", "SELECT object_id, revision, comment FROM revisions ORDER BY "
                            "object_id, revision"),
              "1|1|\n2|1|\n2|2|again\n3|1|\n");
    // The URL's force holds for every object.
    EXPECT_EQ(outcomes(batch(records(1), "&force=yes").output),
              std::vector<std::string>{"OK 2 BT100000.1"});
}

TEST_F(HandlerBatch, aMalformedBatchIsRefusedWholeAndStoresNothing)
{
    const std::string good = frames(records(1));
    const std::string first = "molb-batch 1\n";
    for (const auto& [input, message] : std::vector<std::pair<std::string, std::string>>{
             {"", "A batch save's input must start with the line \"molb-batch 1\"."},
             {">x\nACGT\n", "A batch save's input must start with the line \"molb-batch 1\"."},
             {first, "The batch holds no object to save."},
             {good + "4 dnarna/x\nACGT", "the input ends before its 4 bytes"},
             {good + "5 dnarna/x\nACGT\n", "the input ends before its 5 bytes"},
             {good + "4 dnarna/x\nACGTT", "the input ends before its 4 bytes"},
             {good + "4 dnarna/x", "its header does not end in a line break."},
             {good + "x dnarna/x\nACGT\n", "does not start with the size in bytes"},
             {good + "-4 dnarna/x\nACGT\n", "does not start with the size in bytes"},
             {good + "4dnarna/x\nACGT\n", "does not start with the size in bytes"},
             {good + "4 nokind/x\nACGT\n", "does not start with an object kind"},
             {good + "4 dnarna/x?query=Other\nACGT\n", "only arcname=, comment= and force=yes"},
             {good + "4 dnarna/x?user=eve\nACGT\n", "only arcname=, comment= and force=yes"},
             {good + "4 dnarna/x%zz\nACGT\n", "malformed percent escape"},
             {good + "4 dnarna/x?comment=a\\q\nACGT\n", "backslash that starts no escape"},
             {good + "4 dnarna/x?arcname=" + std::string(1100, 'a') + "\nACGT\n",
              "archive name is longer"},
         }) {
        const ProcessResult result = runHandler(store.url("?command=put&batch=yes"), input);
        EXPECT_EQ(result.exitCode, 1) << input;
        const std::string text = parseResultPage(result.output).message;
        EXPECT_NE(text.find(message), std::string::npos) << text;
        if (input.starts_with(good)) {
            EXPECT_NE(text.find("at object 2:"), std::string::npos) << text;
        }
    }
    // The address names only the database.
    EXPECT_EQ(runHandler(store.url("dnarna/x?command=put&batch=yes"), good).exitCode, 1);
    EXPECT_TRUE(stored().empty());
    // A name that cannot be stored is that object's refusal, not the batch's.
    std::vector<Framed> objects = records(2);
    objects[0].header = "dnarna/%20padded";
    EXPECT_EQ(outcomes(batch(objects).output),
              (std::vector<std::string>{
                  "REFUSED The object name starts or ends with a blank, which the panel would "
                  "lose.",
                  "OK 1 BT100001.1"}));
}

class HandlerBatchRights : public UsersFixture
{
};

TEST_F(HandlerBatchRights, eachObjectFollowsTheRightsOnItAndOnTheSubset)
{
    const std::string bobs = save("bob", "kept"); // mode wrr: ann may read, not write
    save("ann", "mine");
    ASSERT_EQ(store.admin("subset add", {"shared", "--kind", "dnarna", "--owner", "bob"}).exitCode,
              0);
    const std::vector<Framed> objects = {
        {"dnarna/kept?force=yes", ">kept\nTTTT\n"},
        {"dnarna/mine?force=yes", ">mine\nGGGG\n"},
        {"dnarna/new", ">new\nCCCC\n"},
    };
    const std::string input = frames(objects);
    EXPECT_EQ(outcomes(runHandler(store.url("?command=put&batch=yes" + as("ann")), input).output),
              (std::vector<std::string>{"REFUSED You may not change \"kept\".", "OK 2 mine",
                                        "OK 1 new"}));
    EXPECT_EQ(runHandler(store.url("dnarna/" + bobs + "?command=fetch" + as("ann"))).output,
              ">kept\nACGT\n");
    // Into a subset the user may not write: every object refused, nothing stored.
    EXPECT_EQ(
        outcomes(runHandler(store.url("?command=put&batch=yes&query=shared" + as("eve")),
                            frames({{"dnarna/eves", ">e\nA\n"}}))
                     .output),
        std::vector<std::string>{"REFUSED You may not add objects to the subset \"shared\"."});
    EXPECT_EQ(runSql("lab", "SELECT count(*) FROM objects"), "3\n");
    // The saves go on while the password is compared, but without the right one nothing is
    // stored, no subset made and nothing told of the objects, malformed or not.
    const std::string subsets = runSql("lab", "SELECT count(*) FROM subsets");
    for (const auto& [credentials, batch] :
         {std::pair{"&user=ann&pass=wrong", input}, std::pair{"&user=nobody&pass=x", input},
          std::pair{"&user=ann&pass=wrong", std::string("molb-batch 1\n9 dnarna/cut\nA")}}) {
        const ProcessResult refused =
            runHandler(store.url(std::string("?command=put&batch=yes&newsubset=yes&query=fresh") +
                                 credentials),
                       batch);
        EXPECT_EQ(refused.exitCode, 1) << credentials;
        EXPECT_EQ(refused.output.find("<li"), std::string::npos) << refused.output;
        EXPECT_NE(refused.output.find("Wrong user name or password."), std::string::npos)
            << refused.output;
    }
    EXPECT_EQ(runSql("lab", "SELECT count(*) FROM objects"), "3\n");
    EXPECT_EQ(runSql("lab", "SELECT count(*) FROM subsets"), subsets);
}

// Every object the answer tells as stored is stored, whole, and in the order sent: the stored
// ones are the first ones. Returns how many are stored. (Whole: of its full size; a store
// never keeps a torn row, which the integrity checks of the save tests see to.)
size_t checkTold(const std::map<std::string, size_t>& stored, const std::vector<Framed>& objects,
                 const std::string& output)
{
    const std::vector<std::string> told = outcomes(output);
    size_t count = 0;
    for (size_t i = 0; i < objects.size(); ++i) {
        const std::string name = objects[i].header.substr(7, 8) + ".1";
        const auto found = stored.find(name);
        if (i < told.size() && told[i].starts_with("OK")) {
            EXPECT_NE(found, stored.end()) << name << " was told stored";
        }
        if (found == stored.end())
            continue;
        EXPECT_EQ(count, i) << name << " is stored after one that is not";
        EXPECT_EQ(found->second, objects[i].bytes.size()) << name;
        ++count;
    }
    return count;
}

TEST_F(HandlerBatch, aBatchKilledInsideASaveKeepsOnlyFinishedCommits)
{
    const std::vector<Framed> objects = records(5);
    Child handler(handlerPath(), {store.url("?command=put&batch=yes")},
                  {"DBSCOUT_MOLB_TEST_PAUSE=batch-save"}, true);
    ASSERT_TRUE(handler.write(frames(objects)));
    handler.closeInput();
    // The first object is saved in the commit that the second one's save now holds open.
    EXPECT_EQ(handler.errorLine(), "paused at batch-save\n");
    handler.kill();
    const std::string output = handler.output();
    EXPECT_TRUE(outcomes(output).empty()) << output;
    // The local store's saves share the commit that never came; a server's each have their own,
    // so there the first one is kept (and was not yet told: nothing false either way).
    EXPECT_EQ(checkTold(stored(), objects, output), serverStore() ? 1u : 0u);
    if (!serverStore()) {
        EXPECT_EQ(runSql("lab", "PRAGMA integrity_check"), "ok\n");
    }
}

TEST_F(HandlerBatch, aBatchKilledAtAnyMomentTellsOnlyWhatIsStoredAndStoresWholeObjects)
{
    // Commits of the local store hold a few hundred saves; a server commits each.
    const std::vector<Framed> objects = records(serverStore() ? 300 : 800);
    const std::string input = frames(objects);
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(batch(objects).exitCode, 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - begin);
    size_t someStored = 0;
    constexpr int kSteps = 12;
    for (int step = 0; step <= kSteps; ++step) {
        runSql("lab", "DELETE FROM revisions; DELETE FROM objects;"
                      " UPDATE kinds SET object_count = 0;");
        Child handler(handlerPath(), {store.url("?command=put&batch=yes")}, {}, true);
        std::thread writer([&] {
            if (handler.write(input))
                handler.closeInput();
        });
        std::this_thread::sleep_for(whole * step / kSteps);
        handler.kill();
        writer.join();
        const std::string output = handler.output();
        const size_t count = checkTold(stored(), objects, output);
        someStored += count > 0 && count < objects.size();
    }
    // A kill must have come between the first commit and the last for the test to mean much;
    // the sweep's moments make that all but certain on a machine of any speed.
    EXPECT_GT(someStored, 0u);
}

TEST_F(HandlerBatch, aStoppedBatchFinishesItsCommitAndTellsEveryObject)
{
    if (serverStore())
        GTEST_SKIP() << "the handler stops its own batch; a server's runs in the agent";
    const std::vector<Framed> objects = records(3000);
    Child handler(handlerPath(), {store.url("?command=put&batch=yes")}, {}, true);
    std::thread writer([&] {
        if (handler.write(frames(objects)))
            handler.closeInput();
    });
    // The page starts before the first save.
    EXPECT_EQ(handler.outputLine(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    ::kill(handler.pid(), SIGTERM);
    writer.join();
    const std::string output = handler.output();
    EXPECT_EQ(handler.waitExit(), 0);
    EXPECT_TRUE(output.ends_with("</ol></body></html>\n"));
    const std::vector<std::string> told = outcomes(output);
    ASSERT_EQ(told.size(), objects.size());
    const size_t count = checkTold(stored(), objects, output);
    // Exactly the stored ones are told so, and the rest as stopped.
    for (size_t i = 0; i < told.size(); ++i)
        EXPECT_EQ(told[i].substr(0, 2), i < count ? "OK" : "ST") << i;
    EXPECT_LT(count, objects.size());
}

} // namespace
