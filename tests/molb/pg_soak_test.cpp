// Fifty clients paging, searching, saving and checking out on the server at once for half a
// minute (MOLB_SOAK_SECONDS): no answer but the refusals the rules demand, and every saved object
// fetches back byte for byte.

#include "molb_harness.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <random>
#include <thread>

using namespace MolbTest;

namespace {

constexpr int kClients = 50; // each with a role of its own
constexpr int kPoolSize = 5;
constexpr int kGenerated = 2000;
constexpr const char* kWords[] = {"kinase", "synthase", "lactase", "ribosome", "nothing-here"};

std::string role(int i)
{
    return "soak" + std::to_string(i);
}

std::string as(int i)
{
    return "&user=" + role(i) + "&pass=" + role(i) + "-pw";
}

std::chrono::seconds soakTime()
{
    const char* text = std::getenv("MOLB_SOAK_SECONDS");
    return std::chrono::seconds(text ? std::atoi(text) : 30);
}

// Everything the clients saw that the rules do not explain, and what they saved.
struct Outcomes
{
    std::mutex mutex;
    std::vector<std::string> surprises;
    std::map<std::string, std::pair<int, std::string>> saved; // name: client, bytes
    std::atomic<int> pages{0}, saves{0}, holds{0}, refusedHolds{0};

    void surprise(const std::string& what, const ProcessResult& result)
    {
        std::lock_guard lock(mutex);
        surprises.push_back(what + ": exit " + std::to_string(result.exitCode) + ": " +
                            result.output.substr(0, 300));
    }
};

class Client
{
public:
    Client(int number, const std::vector<std::string>& pool, Outcomes& outcomes)
        : m_number(number), m_pool(pool), m_outcomes(outcomes),
          m_random(static_cast<unsigned>(number))
    {}

    void run(std::chrono::steady_clock::time_point end)
    {
        while (std::chrono::steady_clock::now() < end) {
            const int pick = below(100);
            if (pick < 40)
                page("query=MAIN&start=" + std::to_string(below(kGenerated + 200)));
            else if (pick < 60)
                page("query=" + std::string(kWords[below(std::size(kWords))]) + "&start=0");
            else if (pick < 85 || m_names.empty())
                save(std::to_string(m_number) + "-" + std::to_string(m_names.size()), false);
            else if (pick < 90)
                save(m_names[below(static_cast<int>(m_names.size()))], true);
            else
                hold();
        }
    }

private:
    int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(m_random); }

    void page(const std::string& parameters)
    {
        const ProcessResult result =
            runHandler(storeUrl("lab/dnarna/?page=20&" + parameters + as(m_number)));
        if (result.exitCode != 0 || parseResultPage(result.output).status != "OK")
            m_outcomes.surprise("page " + parameters, result);
        ++m_outcomes.pages;
    }

    void save(const std::string& name, bool force)
    {
        std::string bytes(static_cast<size_t>(1 + below(20000)), '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(below(256));
        const ProcessResult result =
            runHandler(storeUrl("lab/dnarna/c" + name + "?query=MAIN&command=put" +
                                (force ? "&force=yes" : "") + as(m_number)),
                       bytes);
        if (result.exitCode != 0 || parseStatusPage(result.output).status != "OK") {
            m_outcomes.surprise("save " + name, result);
            return;
        }
        if (!force)
            m_names.push_back(name);
        std::lock_guard lock(m_outcomes.mutex);
        m_outcomes.saved["c" + name] = {m_number, std::move(bytes)};
        ++m_outcomes.saves;
    }

    // A check-out of a shared object while fetching it, given back at once: held by another
    // client is the one refusal the rules demand.
    void hold()
    {
        const int pick = below(kPoolSize);
        const ProcessResult taken = runHandler(storeUrl(
            "lab/dnarna/pool" + std::to_string(pick) + "?command=fetch&command=co" + as(m_number)));
        if (taken.exitCode == 0) {
            ++m_outcomes.holds;
            const ProcessResult given =
                runHandler(storeUrl("lab/dnarna/" + m_pool[pick] + "?command=unco" + as(m_number)));
            if (given.exitCode != 0)
                m_outcomes.surprise("undo check-out of pool" + std::to_string(pick), given);
        } else if (parseResultPage(taken.output).message.find("is checked out by soak") ==
                   std::string::npos) {
            m_outcomes.surprise("check-out of pool" + std::to_string(pick), taken);
        } else {
            ++m_outcomes.refusedHolds;
        }
    }

    int m_number;
    const std::vector<std::string>& m_pool; // ids of the shared objects
    Outcomes& m_outcomes;
    std::mt19937 m_random;
    std::vector<std::string> m_names;
};

TEST(ServerSoak, fiftyClientsPagingSavingAndCheckingOutMeetOnlyTheRulesRefusals)
{
    const TestStore store = makeStore("lab");
    ASSERT_EQ(store.admin("generate", {"--count", std::to_string(kGenerated)}).exitCode, 0);
    for (int i = 0; i < kClients; ++i)
        ASSERT_EQ(
            store.admin("user add", {role(i), "--group", "soakers"}, role(i) + "-pw\n").exitCode,
            0);
    std::vector<std::string> pool;
    for (int i = 0; i < kPoolSize; ++i) {
        const std::string name = "pool" + std::to_string(i);
        pool.push_back(saveObject("lab", "dnarna", name, name, as(0)));
    }
    ASSERT_EQ(runSql("lab", "UPDATE objects SET mode = 'ww-' WHERE name LIKE 'pool%'"), "");

    Outcomes outcomes;
    const auto end = std::chrono::steady_clock::now() + soakTime();
    std::vector<std::thread> threads;
    for (int i = 0; i < kClients; ++i)
        threads.emplace_back([i, end, &pool, &outcomes] { Client(i, pool, outcomes).run(end); });
    for (std::thread& thread : threads)
        thread.join();

    std::printf("pages %d, saves %d, check-outs %d, refused check-outs %d\n", outcomes.pages.load(),
                outcomes.saves.load(), outcomes.holds.load(), outcomes.refusedHolds.load());
    EXPECT_TRUE(outcomes.surprises.empty())
        << outcomes.surprises.size() << " surprises, first: " << outcomes.surprises.front();
    EXPECT_GT(outcomes.saves.load(), kClients);
    EXPECT_GT(outcomes.holds.load(), 0);
    for (const auto& [name, saved] : outcomes.saved)
        EXPECT_EQ(
            runHandler(storeUrl("lab/dnarna/" + name + "?command=fetch" + as(saved.first))).output,
            saved.second)
            << name;
}

} // namespace
