// Handler processes saving at once on the server, each as a role of its own: a new name is stored
// once and every forced save becomes one revision, however their transactions interleave. (The
// check-out race of the protocol suite runs on the server as molb_race_test_pg.)

#include "server_store.h"

#include <gtest/gtest.h>

#include <set>

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

TEST_F(ServerRace, rolesSavingOneNewNameAtOnceStoreItOnce)
{
    std::vector<std::string> urls, inputs;
    for (int i = 0; i < kRacers; ++i) {
        urls.push_back(serverUrl("lab/dnarna/fresh?query=MAIN&command=put" + as(i)));
        inputs.push_back("bytes of " + racer(i));
    }
    const std::vector<ProcessResult> results = runTogether(urls, inputs);
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
    std::vector<std::string> urls, inputs;
    for (int i = 0; i < kRacers; ++i) {
        urls.push_back(serverUrl("lab/dnarna/target?query=MAIN&command=put&force=yes" + as(i)));
        inputs.push_back("revision by " + racer(i));
    }
    for (const ProcessResult& result : runTogether(urls, inputs))
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
