// Handler processes racing for one object on the server, each as a role of its own: the
// all-or-nothing rules hold however their transactions interleave.

#include "server_store.h"

#include <gtest/gtest.h>

#include <latch>
#include <set>
#include <thread>

using namespace MolbTest;

namespace {

constexpr int kRacers = 8;

std::string racer(int i)
{
    return "racer" + std::to_string(i);
}

std::string as(int i)
{
    return "&user=" + racer(i) + "&pass=" + racer(i) + "-pw";
}

struct Request
{
    std::string url;
    std::string input;
};

// Starts every request at the same moment, each from a thread of its own.
std::vector<ProcessResult> runTogether(const std::vector<Request>& requests)
{
    std::vector<ProcessResult> results(requests.size());
    std::latch start(static_cast<std::ptrdiff_t>(requests.size()));
    std::vector<std::thread> threads;
    for (size_t i = 0; i < requests.size(); ++i) {
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            results[i] = runHandler(requests[i].url, requests[i].input);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    return results;
}

class ServerRace : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(runAdmin({"init", serverTarget("lab")}).exitCode, 0);
        for (int i = 0; i < kRacers; ++i)
            addServerUser("lab", racer(i), racer(i) + "-pw", {"racers"});
        const Dbscout::StatusPage saved = parseStatusPage(
            runHandler(serverUrl("lab/dnarna/target?query=MAIN&command=put" + as(0)), "first")
                .output);
        ASSERT_EQ(saved.status, "OK");
        targetId = saved.linkHref.substr(saved.linkHref.rfind('/') + 1,
                                         saved.linkHref.find('?') - saved.linkHref.rfind('/') - 1);
        // Every racer may write it.
        const ProcessResult shared = runHandler(serverUrl(
            "lab/dnarna/" + targetId + "?command=ochmod&command=dir&objmode=ww-" + as(0)));
        ASSERT_EQ(shared.exitCode, 0) << shared.output;
    }

    static std::string admin(const std::string& sql) { return runPsql("lab", sql).output; }

    std::string targetId;
};

TEST_F(ServerRace, rolesCheckingOutOneObjectAtOnceLeaveExactlyOneHolder)
{
    for (int round = 0; round < 4; ++round) {
        std::vector<Request> requests;
        for (int i = 0; i < kRacers; ++i)
            requests.push_back(
                {serverUrl("lab/dnarna/" + targetId + "?command=co&command=dir" + as(i)), {}});
        const std::vector<ProcessResult> results = runTogether(requests);
        int winner = -1;
        for (int i = 0; i < kRacers; ++i) {
            if (results[i].exitCode == 0) {
                EXPECT_EQ(winner, -1) << "a second winner: " << racer(i);
                winner = i;
            }
        }
        ASSERT_NE(winner, -1) << "nobody won round " << round;
        for (int i = 0; i < kRacers; ++i) {
            if (i == winner)
                continue;
            EXPECT_EQ(results[i].exitCode, 1) << results[i].output;
            EXPECT_EQ(parseResultPage(results[i].output).message,
                      "\"target\" is checked out by " + racer(winner) + ".");
        }
        EXPECT_EQ(admin("SELECT checkout_by FROM objects WHERE id = " + targetId),
                  racer(winner) + "\n");
        ASSERT_EQ(runHandler(serverUrl("lab/dnarna/" + targetId + "?command=unco&command=dir" +
                                       as(winner)))
                      .exitCode,
                  0);
    }
}

TEST_F(ServerRace, rolesSavingOneNewNameAtOnceStoreItOnce)
{
    std::vector<Request> requests;
    for (int i = 0; i < kRacers; ++i)
        requests.push_back(
            {serverUrl("lab/dnarna/fresh?query=MAIN&command=put" + as(i)), "bytes of " + racer(i)});
    const std::vector<ProcessResult> results = runTogether(requests);
    int stored = -1;
    for (int i = 0; i < kRacers; ++i) {
        const std::string status = parseStatusPage(results[i].output).status;
        EXPECT_TRUE(status == "OK" || status == "EXIST") << results[i].output;
        if (status == "OK") {
            EXPECT_EQ(stored, -1) << "stored twice";
            stored = i;
        }
    }
    ASSERT_NE(stored, -1);
    EXPECT_EQ(admin("SELECT count(*) FROM objects WHERE name = 'fresh'"), "1\n");
    EXPECT_EQ(admin("SELECT object_count FROM kinds WHERE kind = 1"), "2\n");
    EXPECT_EQ(runHandler(serverUrl("lab/dnarna/fresh?command=fetch" + as(stored))).output,
              "bytes of " + racer(stored));
}

TEST_F(ServerRace, forcedSavesOfOneObjectAtOnceEachBecomeOneRevision)
{
    std::vector<Request> requests;
    for (int i = 0; i < kRacers; ++i)
        requests.push_back({serverUrl("lab/dnarna/target?query=MAIN&command=put&force=yes" + as(i)),
                            "revision by " + racer(i)});
    for (const ProcessResult& result : runTogether(requests))
        EXPECT_EQ(parseStatusPage(result.output).status, "OK") << result.output;
    // Revisions 1 to 9, each racer's bytes in exactly one of them, the newest one current.
    EXPECT_EQ(admin("SELECT string_agg(revision::text, ',' ORDER BY revision) FROM revisions"),
              "1,2,3,4,5,6,7,8,9\n");
    std::set<std::string> contents;
    for (int revision = 2; revision <= kRacers + 1; ++revision)
        contents.insert(runHandler(serverUrl("lab/dnarna/" + targetId + ":" +
                                             std::to_string(revision) + "?command=fetch" + as(0)))
                            .output);
    EXPECT_EQ(contents.size(), static_cast<size_t>(kRacers));
    for (int i = 0; i < kRacers; ++i)
        EXPECT_EQ(contents.count("revision by " + racer(i)), 1u) << racer(i);
    EXPECT_EQ(runHandler(serverUrl("lab/dnarna/" + targetId + "?command=fetch" + as(0))).output,
              runHandler(serverUrl("lab/dnarna/" + targetId + ":9?command=fetch" + as(0))).output);
}

} // namespace
