// Fifty clients, each a role of its own, paging, searching, saving and checking out on the server
// at once for half a minute (MOLB_SOAK_SECONDS): no answer but the refusals the rules demand, and
// every saved object fetches back byte for byte.

#include "molb_harness.h"

#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>
#include <random>
#include <thread>

using namespace MolbTest;

namespace {

constexpr int kClients = 50;
constexpr int kPoolSize = 5; // shared objects to check out
constexpr int kGenerated = 2000;

std::string role(int i)
{
    return "soak" + std::to_string(i);
}

std::string as(int i)
{
    return "&user=" + role(i) + "&pass=" + role(i) + "-pw";
}

TEST(ServerSoak, fiftyClientsPagingSavingAndCheckingOutMeetOnlyTheRulesRefusals)
{
    const TestStore store = makeStore("lab");
    ASSERT_EQ(store.admin("generate", {"--count", std::to_string(kGenerated)}).exitCode, 0);
    for (int i = 0; i < kClients; ++i)
        ASSERT_EQ(
            store.admin("user add", {role(i), "--group", "soakers"}, role(i) + "-pw\n").exitCode,
            0);
    std::vector<std::string> pool;
    for (int i = 0; i < kPoolSize; ++i)
        pool.push_back(saveObject("lab", "dnarna", "pool" + std::to_string(i), "pool", as(0)));
    ASSERT_EQ(runSql("lab", "UPDATE objects SET mode = 'ww-' WHERE name LIKE 'pool%'"), "");

    std::mutex mutex;
    std::vector<std::string> surprises;                       // what the rules do not explain
    std::map<std::string, std::pair<int, std::string>> saved; // name: client, bytes
    std::atomic<int> pages = 0, saves = 0, holds = 0, refusedHolds = 0;
    const auto surprise = [&](const std::string& what, const ProcessResult& result) {
        std::lock_guard lock(mutex);
        surprises.push_back(what + ": exit " + std::to_string(result.exitCode) + ": " +
                            result.output.substr(0, 300));
    };
    const char* seconds = std::getenv("MOLB_SOAK_SECONDS");
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::seconds(seconds ? std::atoi(seconds) : 30);
    const auto client = [&](int number) {
        std::mt19937 random(static_cast<unsigned>(number));
        const auto below = [&](int bound) {
            return std::uniform_int_distribution<int>(0, bound - 1)(random);
        };
        std::vector<std::string> names;
        while (std::chrono::steady_clock::now() < end) {
            const int pick = below(100);
            if (pick < 60) {
                const char* words[] = {"kinase", "synthase", "lactase", "ribosome", "nothing-here"};
                const std::string parameters =
                    pick < 40 ? "query=MAIN&start=" + std::to_string(below(kGenerated + 200))
                              : "query=" + std::string(words[below(5)]) + "&start=0";
                const ProcessResult result =
                    runHandler(store.url("dnarna/?page=20&" + parameters + as(number)));
                if (result.exitCode != 0 || parseResultPage(result.output).status != "OK")
                    surprise("page " + parameters, result);
                ++pages;
            } else if (pick < 90 || names.empty()) {
                // A new name, or a forced save of one of the client's own.
                const bool force = pick >= 85 && !names.empty();
                const std::string name =
                    force ? names[below(static_cast<int>(names.size()))]
                          : "c" + std::to_string(number) + "-" + std::to_string(names.size());
                std::string bytes(static_cast<size_t>(1 + below(20000)), '\0');
                for (char& byte : bytes)
                    byte = static_cast<char>(below(256));
                const ProcessResult result =
                    runHandler(store.url("dnarna/" + name + "?query=MAIN&command=put" +
                                         (force ? "&force=yes" : "") + as(number)),
                               bytes);
                if (result.exitCode != 0 || parseStatusPage(result.output).status != "OK") {
                    surprise("save " + name, result);
                    continue;
                }
                if (!force)
                    names.push_back(name);
                std::lock_guard lock(mutex);
                saved[name] = {number, std::move(bytes)};
                ++saves;
            } else {
                // A check-out while fetching, given back at once: held by another client is the
                // one refusal the rules demand.
                const int shared = below(kPoolSize);
                const ProcessResult taken =
                    runHandler(store.url("dnarna/pool" + std::to_string(shared) +
                                         "?command=fetch&command=co" + as(number)));
                if (taken.exitCode == 0) {
                    ++holds;
                    const ProcessResult given = runHandler(
                        store.url("dnarna/" + pool[shared] + "?command=unco" + as(number)));
                    if (given.exitCode != 0)
                        surprise("undo check-out of pool" + std::to_string(shared), given);
                } else if (parseResultPage(taken.output).message.find("is checked out by soak") ==
                           std::string::npos) {
                    surprise("check-out of pool" + std::to_string(shared), taken);
                } else {
                    ++refusedHolds;
                }
            }
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < kClients; ++i)
        threads.emplace_back(client, i);
    for (std::thread& thread : threads)
        thread.join();

    std::printf("pages %d, saves %d, check-outs %d, refused check-outs %d\n", pages.load(),
                saves.load(), holds.load(), refusedHolds.load());
    EXPECT_TRUE(surprises.empty())
        << surprises.size() << " surprises, first: " << surprises.front();
    EXPECT_GT(saves.load(), kClients);
    EXPECT_GT(holds.load(), 0);
    for (const auto& [name, client] : saved)
        EXPECT_EQ(
            runHandler(store.url("dnarna/" + name + "?command=fetch" + as(client.first))).output,
            client.second)
            << name;
}

} // namespace
