// Eight handlers, each as a user of its own, racing for one object: one check-out wins, a new
// name is stored once, and every forced save becomes one revision, however their transactions
// interleave; check-in racing undo check-out, and a check-in killed inside its transaction.

#include "molb_harness.h"

#include <functional>
#include <set>
#include <thread>

using namespace MolbTest;

namespace {

class Race : public UsersFixture
{
protected:
    void SetUp() override
    {
        UsersFixture::SetUp();
        id = save("ann", "x");
        chmod(id, "www");
    }

    // Eight more users; the URL for each made by url.
    std::vector<std::string> racers(const std::function<std::string(const std::string&)>& url)
    {
        std::vector<std::string> urls;
        for (int i = 0; i < 8; ++i) {
            const std::string user = "u" + std::to_string(i);
            EXPECT_EQ(store.admin("user add", {user}, user + "-pw\n").exitCode, 0);
            urls.push_back(url(user));
        }
        return urls;
    }
    // Every racer saving to the address of put at once, each with bytes of its own (prefix and
    // its number), which come back in inputs.
    std::vector<ProcessResult> savingTogether(const std::string& put, const std::string& prefix,
                                              std::vector<std::string>& inputs)
    {
        const std::vector<std::string> urls =
            racers([this, &put](const std::string& user) { return store.url(put + as(user)); });
        inputs.clear();
        for (size_t i = 0; i < urls.size(); ++i)
            inputs.push_back(prefix + std::to_string(i));
        return runTogether(urls, inputs);
    }
    std::string holder()
    {
        return runSql("lab", "SELECT checkout_by FROM objects WHERE id = " + id);
    }
    std::string revisions()
    {
        return runSql("lab", "SELECT count(*) FROM revisions WHERE object_id = " + id);
    }

    std::string id;
};

TEST_F(Race, eightUsersCheckingOutAtOnceLeaveExactlyOneHolder)
{
    const std::vector<ProcessResult> results = runTogether(racers([this](const std::string& user) {
        return store.url("dnarna/" + id + "?start=0&page=10" + as(user) +
                         "&command=co&command=dir");
    }));
    std::string winner;
    for (size_t i = 0; i < results.size(); ++i) {
        const Dbscout::ResultPage page = parseResultPage(results[i].output);
        if (page.status == "OK") {
            EXPECT_TRUE(winner.empty()) << i << " won as well as " << winner;
            winner = "u" + std::to_string(i);
            ASSERT_EQ(page.rows.size(), 1u);
            EXPECT_EQ(page.rows[0].checkoutBy, winner);
        }
    }
    ASSERT_FALSE(winner.empty());
    for (size_t i = 0; i < results.size(); ++i) {
        if ("u" + std::to_string(i) != winner) {
            EXPECT_EQ(refusal(results[i]), "\"x\" is checked out by " + winner + ".");
        }
    }
    EXPECT_EQ(holder(), winner + "\n");
}

TEST_F(Race, usersSavingOneNewNameAtOnceStoreItOnce)
{
    std::vector<std::string> inputs;
    const std::vector<ProcessResult> results =
        savingTogether("dnarna/fresh?query=MAIN&command=put", "bytes of ", inputs);
    int stored = -1;
    for (int i = 0; i < 8; ++i) {
        const std::string status = parseStatusPage(results[i].output).status;
        EXPECT_TRUE(status == "OK" || status == "EXIST") << results[i].output;
        if (status == "OK") {
            EXPECT_EQ(stored, -1) << "stored twice";
            stored = i;
        }
    }
    ASSERT_NE(stored, -1);
    EXPECT_EQ(runSql("lab", "SELECT count(*) FROM objects WHERE name = 'fresh'"), "1\n");
    EXPECT_EQ(runSql("lab", "SELECT object_count FROM kinds WHERE kind = 1"), "2\n");
    EXPECT_EQ(runHandler(store.url("dnarna/fresh?command=fetch" + as("ann"))).output,
              inputs[stored]);
}

TEST_F(Race, forcedSavesOfOneObjectAtOnceEachBecomeOneRevision)
{
    std::vector<std::string> inputs;
    for (const ProcessResult& result :
         savingTogether("dnarna/x?query=MAIN&command=put&force=yes", "revision by ", inputs))
        EXPECT_EQ(parseStatusPage(result.output).status, "OK") << result.output;
    // Revisions 1 to 9, each racer's bytes in exactly one of them, the newest one current.
    EXPECT_EQ(onOneLine(runSql("lab", "SELECT revision FROM revisions ORDER BY revision")),
              "1 2 3 4 5 6 7 8 9\n");
    const auto fetch = [this](const std::string& which) {
        return runHandler(store.url("dnarna/" + which + "?command=fetch" + as("ann"))).output;
    };
    std::set<std::string> contents;
    for (int revision = 2; revision <= 9; ++revision)
        contents.insert(fetch(id + ":" + std::to_string(revision)));
    EXPECT_EQ(contents, std::set<std::string>(inputs.begin(), inputs.end()));
    EXPECT_EQ(fetch(id), fetch(id + ":9"));
}

TEST_F(Race, checkInRacingUndoCheckOutEndsFreeWithOneOutcome)
{
    int checkIns = 0;
    for (int round = 0; round < 4; ++round) {
        ASSERT_EQ(operation("ann", id, "command=co&command=dir").exitCode, 0);
        const std::string before = revisions();
        const std::string common = "dnarna/" + id + "?start=0&page=10" + as("ann");
        const std::vector<ProcessResult> results =
            runTogether({store.url(common + "&command=ci&command=dir&comment=r"),
                         store.url(common + "&command=unco&command=dir")});
        const bool checkedIn = parseResultPage(results[0].output).status == "OK";
        const bool undone = parseResultPage(results[1].output).status == "OK";
        EXPECT_NE(checkedIn, undone) << "exactly one of them may succeed";
        EXPECT_EQ(refusal(results[checkedIn ? 1 : 0]), "\"x\" is not checked out.");
        EXPECT_EQ(holder(), "\n");
        EXPECT_EQ(std::stoi(revisions()), std::stoi(before) + (checkedIn ? 1 : 0));
        checkIns += checkedIn;
    }
    EXPECT_EQ(std::stoi(revisions()), 1 + checkIns);
}

TEST_F(Race, aCheckInKilledInsideItsTransactionLeavesTheObjectCheckedOut)
{
    ASSERT_EQ(operation("ann", id, "command=co&command=dir").exitCode, 0);
    const std::string url = store.url("dnarna/" + id + "?start=0&page=10" + as("ann") +
                                      "&command=ci&command=dir&comment=late");
    {
        Child paused(handlerPath(), {url}, {"DBSCOUT_MOLB_TEST_PAUSE=checkin"});
        EXPECT_EQ(paused.errorLine(), "paused at checkin\n");
    }
    if (!serverStore()) {
        EXPECT_EQ(runSql("lab", "PRAGMA integrity_check"), "ok\n");
    }
    EXPECT_EQ(holder(), "ann\n");
    EXPECT_EQ(revisions(), "1\n");

    // Killed at moments spread over a whole check-in: either state, never a mixture.
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(runHandler(url).exitCode, 0);
    const auto whole = std::chrono::steady_clock::now() - begin;
    for (int step = 0; step <= 12; ++step) {
        ASSERT_EQ(operation("ann", id, "command=co&command=dir").exitCode, 0);
        const int before = std::stoi(revisions());
        {
            Child killed(handlerPath(), {url});
            std::this_thread::sleep_for(whole * step / 10);
        }
        const bool held = holder() == "ann\n";
        EXPECT_EQ(std::stoi(revisions()), before + (held ? 0 : 1)) << "step " << step;
        if (held) {
            ASSERT_EQ(operation("ann", id, "command=unco&command=dir").exitCode, 0);
        }
    }
}

} // namespace
