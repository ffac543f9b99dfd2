// The connection agent that serves server requests for molb-handler, watched from outside: its
// processes in /proc, its connections in the server's pg_stat_activity, and its socket spoken to
// directly. Each test has a runtime folder, and so an agent, of its own.

#include "agent_probe.h"
#include "molb_fixture.h"
#include "running_handler.h"
#include "server_store.h"

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <unistd.h>

using namespace MolbTest;
namespace fs = std::filesystem;

namespace {

constexpr const char* kWrongLogin = "Wrong user name or password.";
constexpr const char* kNeedsLogin =
    "This database needs a user name and password (user= and pass=).";

class Agent : public UsersFixture
{
protected:
    void SetUp() override
    {
        UsersFixture::SetUp();
        id = save("ann", "annsobject");
        // Only ann may read it, so whose connection served a listing shows in its row.
        chmod(id, "w--");
    }

    void TearDown() override
    {
        // However the test ended, its agent must end with its folder.
        std::error_code ignored;
        fs::remove_all(agentFolder(), ignored);
        EXPECT_TRUE(waitFor([] { return agentProcesses().empty(); }))
            << "an agent outlived its runtime folder";
    }

    // The one agent there must be.
    static pid_t onlyAgent()
    {
        const std::vector<pid_t> agents = agentProcesses();
        EXPECT_EQ(agents.size(), 1u);
        return agents.empty() ? -1 : agents.front();
    }

    // Ends the agent that is running (by taking its socket away), so the next request starts
    // one with the test's present environment.
    static void endAgent()
    {
        fs::remove(agentSocketFile());
        ASSERT_TRUE(waitFor([] { return agentProcesses().empty(); }));
    }

    // A listing of MAIN as user, checked whole: one row, readable only by its owner ann.
    void expectListing(const std::string& user)
    {
        const Dbscout::ResultPage page = mainPage(user);
        ASSERT_EQ(page.status, "OK") << user << ": " << page.message;
        ASSERT_EQ(page.rows.size(), 1u) << user;
        EXPECT_EQ(page.rows[0].readable, user == "ann") << user;
    }

    std::string id;
};

TEST_F(Agent, requestsOfOneRoleInTurnShareOneAgentAndOneServerConnection)
{
    const pid_t agent = onlyAgent();
    for (int request = 0; request < 10; ++request) {
        expectListing("ann");
        EXPECT_EQ(agentProcesses(), std::vector<pid_t>{agent}) << "request " << request;
        EXPECT_EQ(handlerBackends("ann"), 1) << "request " << request;
    }
}

TEST_F(Agent, aWrongPasswordIsRefusedWhileTheRightOneIdlesInTheAgent)
{
    expectListing("ann");
    ASSERT_EQ(handlerBackends("ann"), 1);
    for (const char* credentials : {"&user=ann&pass=wrong", "&user=ann&pass=",
                                    "&user=ann&pass=ANN-PW", "&user=ann&pass=ann-pw%20"}) {
        const ProcessResult result =
            runHandler(store.url("dnarna/?start=0&page=50&query=MAIN") + credentials);
        EXPECT_EQ(result.exitCode, 1) << credentials;
        const Dbscout::ResultPage page = parseResultPage(result.output);
        EXPECT_EQ(page.message, kWrongLogin) << credentials;
        EXPECT_TRUE(page.rows.empty()) << credentials;
    }
    expectListing("ann");
    EXPECT_EQ(handlerBackends("ann"), 1);
}

TEST_F(Agent, rolesTakingTurnsEachKeepAConnectionOfTheirOwn)
{
    for (int round = 0; round < 3; ++round) {
        for (const char* user : {"ann", "bob", "eve"})
            expectListing(user);
    }
    for (const char* user : {"ann", "bob", "eve"})
        EXPECT_EQ(handlerBackends(user), 1) << user;
}

TEST_F(Agent, aRequestWithoutAUserLogsInAsItsOwnHandlersEnvironmentSays)
{
    // A store without users serves whoever the server lets in.
    const TestStore open = makeStore("open");
    ASSERT_EQ(runHandler(open.url("dnarna/x?query=MAIN&command=put"), ">x\nACGT\n").exitCode, 0);
    const ServerAddress& server = serverAddress();
    struct Login
    {
        const char* name;
        std::vector<std::string> environment;
        std::string refusal; // empty when the listing is served
    };
    const Login logins[] = {
        {"the superuser", {"PGUSER=" + server.admin, "PGPASSWORD=" + server.password}, ""},
        {"eve",
         {"PGUSER=eve", "PGPASSWORD=eve-pw"},
         "You are not a user of the database \"open\" on " + server.host + "."},
        {"the superuser with a wrong password",
         {"PGUSER=" + server.admin, "PGPASSWORD=wrong"},
         kNeedsLogin},
    };
    const auto expectAnswerFor = [&open](const Login& login) {
        const ProcessResult result =
            runHandlerWith(open.url("dnarna/?query=MAIN"), login.environment);
        const Dbscout::ResultPage page = parseResultPage(result.output);
        EXPECT_EQ(result.exitCode, login.refusal.empty() ? 0 : 1) << login.name;
        EXPECT_EQ(page.message, login.refusal) << login.name;
        EXPECT_EQ(page.rows.size(), login.refusal.empty() ? 1u : 0u) << login.name;
    };
    for (const Login& starter : logins) {
        for (const Login& sender : logins) {
            if (&starter == &sender)
                continue;
            SCOPED_TRACE(std::string(starter.name) + " started the agent");
            endAgent();
            expectAnswerFor(starter);
            const pid_t agent = onlyAgent();
            expectAnswerFor(sender);
            EXPECT_EQ(agentProcesses(), std::vector<pid_t>{agent});
        }
    }
}

TEST_F(Agent, anIdleAgentClosesItsConnectionsRemovesItsSocketAndEnds)
{
    endAgent();
    setenv("MOLB_AGENT_IDLE_SECONDS", "1", 1);
    expectListing("ann");
    ASSERT_EQ(agentProcesses().size(), 1u);
    ASSERT_TRUE(fs::exists(agentSocketFile()));
    EXPECT_TRUE(waitFor([] { return agentProcesses().empty(); }));
    EXPECT_FALSE(fs::exists(agentSocketFile()));
    EXPECT_TRUE(waitFor([] { return handlerBackends("ann") == 0; }));
}

TEST_F(Agent, handlersStartedTogetherWithoutAnAgentAreAllAnsweredAndLeaveOne)
{
    endAgent();
    // Long enough that the agent that won outlives the ones that lost.
    setenv("MOLB_AGENT_IDLE_SECONDS", "30", 1);
    const std::vector<std::string> users = {"ann", "bob", "eve", "ann", "bob", "eve", "ann", "bob"};
    std::vector<std::string> urls;
    for (const std::string& user : users)
        urls.push_back(store.url("dnarna/?start=0&page=50&query=MAIN" + as(user)));
    const std::vector<ProcessResult> results = runTogether(urls);
    for (size_t i = 0; i < users.size(); ++i) {
        const Dbscout::ResultPage page = parseResultPage(results[i].output);
        ASSERT_EQ(page.rows.size(), 1u) << users[i] << ": " << results[i].output;
        EXPECT_EQ(page.rows[0].readable, users[i] == "ann") << users[i];
    }
    EXPECT_TRUE(waitFor([] { return agentProcesses().size() == 1; }));
    const pid_t agent = onlyAgent();
    expectListing("eve");
    EXPECT_EQ(agentProcesses(), std::vector<pid_t>{agent});
}

TEST_F(Agent, anAgentKilledLeavesAStaleSocketAndTheNextRequestStartsAnother)
{
    const pid_t killed = onlyAgent();
    ASSERT_GT(killed, 0);
    ASSERT_EQ(::kill(killed, SIGKILL), 0);
    ASSERT_TRUE(waitFor([] { return agentProcesses().empty(); }));
    EXPECT_TRUE(fs::exists(agentSocketFile()));
    expectListing("ann");
    const pid_t next = onlyAgent();
    EXPECT_NE(next, killed);
    EXPECT_TRUE(waitFor([] { return handlerBackends("ann") == 1; }));
}

TEST_F(Agent, aRemovedRuntimeFolderEndsTheAgentAndItsConnections)
{
    endAgent();
    setenv("MOLB_AGENT_IDLE_SECONDS", "30", 1);
    expectListing("ann");
    ASSERT_EQ(agentProcesses().size(), 1u);
    fs::remove_all(agentFolder());
    EXPECT_TRUE(waitFor([] { return agentProcesses().empty(); }));
    EXPECT_TRUE(waitFor([] { return handlerBackends("ann") == 0; }));
}

TEST_F(Agent, aCheckInKilledInsideItsTransactionLeavesNoTransactionOpen)
{
    ASSERT_EQ(operation("ann", id, "command=co&command=dir").exitCode, 0);
    const std::string checkIn =
        store.url("dnarna/" + id + "?start=0&page=10" + as("ann") + "&command=ci&command=dir");
    const auto revisions = [this] {
        return runSql("lab", "SELECT count(*) FROM revisions WHERE object_id = " + id);
    };
    const std::string before = revisions();
    {
        RunningHandler handler(checkIn + "&comment=late", {"DBSCOUT_MOLB_TEST_PAUSE=checkin"});
        ASSERT_EQ(handler.errorLine(), "paused at checkin\n");
        EXPECT_EQ(handlerBackends("ann", "idle in transaction"), 1);
        handler.kill();
    }
    EXPECT_TRUE(waitFor([] { return handlerBackends("ann", "idle in transaction") == 0; }));
    EXPECT_TRUE(waitFor([] { return handlerBackends("ann") == 0; }))
        << "the connection of a killed request went back to the pool";
    EXPECT_EQ(runSql("lab", "SELECT checkout_by FROM objects WHERE id = " + id), "ann\n");
    EXPECT_EQ(revisions(), before);

    const ProcessResult again = runHandler(checkIn + "&comment=again");
    EXPECT_EQ(parseResultPage(again.output).status, "OK") << again.output;
    EXPECT_EQ(runSql("lab", "SELECT checkout_by FROM objects WHERE id = " + id), "\n");
    EXPECT_EQ(std::stoi(revisions()), std::stoi(before) + 1);
}

TEST_F(Agent, anAnswerWhoseReaderWentAwayLeavesTheAgentServing)
{
    // Far more than the pipes between agent, handler and test hold.
    std::string bytes = ">big\n";
    while (bytes.size() < (4u << 20))
        bytes += "ACGTTGCAACGTTGCAACGTTGCAACGTTGCAACGTTGCAACGTTGCAACGTTGCAACGTTGCA\n";
    const std::string bigId = saveObject("lab", "dnarna", "big", bytes, as("ann"));
    const std::string fetch = store.url("dnarna/" + bigId + "?command=fetch" + as("ann"));
    const pid_t agent = onlyAgent();
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "handler killed while answering" : "handler's reader gone");
        {
            RunningHandler handler(fetch);
            ASSERT_EQ(handler.output(1), ">");
            if (killed) {
                handler.kill();
            } else {
                handler.dropOutput();
                EXPECT_TRUE(handler.waitExit().has_value()) << "the handler hangs";
            }
        }
        EXPECT_TRUE(runHandler(fetch).output == bytes);
        EXPECT_EQ(agentProcesses(), std::vector<pid_t>{agent});
        EXPECT_TRUE(waitFor([] { return handlerBackends("ann") == 1; }));
    }
}

TEST_F(Agent, aRuntimeFolderOthersCouldUseIsRefusedAndStartsNoAgent)
{
    endAgent();
    const fs::path folder = agentFolder();
    fs::remove_all(folder);
    const fs::path elsewhere = env.file("elsewhere");
    fs::create_directory(elsewhere);
    fs::permissions(elsewhere, fs::perms::owner_all, fs::perm_options::replace);
    const auto folderWith = [&folder](fs::perms mode) {
        return [&folder, mode] {
            fs::create_directory(folder);
            fs::permissions(folder, mode, fs::perm_options::replace);
        };
    };
    struct Case
    {
        const char* what;
        std::function<void()> make;
    };
    std::vector<Case> cases = {
        {"others may enter", folderWith(fs::perms(0755))},
        {"others may pass through", folderWith(fs::perms(0701))},
        {"its group may enter", folderWith(fs::perms(0750))},
        {"a link to a private folder", [&] { fs::create_directory_symlink(elsewhere, folder); }},
        {"a file", [&] { ASSERT_EQ(::close(::creat(folder.c_str(), 0600)), 0); }},
    };
    // Only the superuser can give a folder away.
    if (::geteuid() == 0)
        cases.push_back({"another user's", [&] {
                             folderWith(fs::perms(0700))();
                             ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
                         }});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        const ProcessResult result = runHandler(store.url("dnarna/?query=MAIN" + as("ann")));
        EXPECT_EQ(result.exitCode, 2);
        const Dbscout::ResultPage page = parseResultPage(result.output);
        EXPECT_EQ(page.status, "ERROR");
        EXPECT_EQ(page.message,
                  "The folder " + folder.string() +
                      " of the molb connection agent must be a folder of yours that nobody else "
                      "may enter; remove it or correct its owner and mode.");
        EXPECT_TRUE(agentProcesses().empty());
        EXPECT_FALSE(fs::exists(folder / "agent.socket"));
        EXPECT_TRUE(fs::is_empty(elsewhere));
        fs::remove_all(folder);
    }
    // Once it is gone, the handler makes it anew, private.
    expectListing("ann");
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
}

// The agent's header: magic, then the lengths of URL, environment and input.
std::string header(std::uint64_t url, std::uint64_t environment, std::uint64_t input,
                   const char* magic = "MOLBAG1\n")
{
    std::string bytes(magic, 8);
    for (const std::uint64_t length : {url, environment, input})
        bytes.append(reinterpret_cast<const char*>(&length), sizeof length);
    return bytes;
}

TEST_F(Agent, garbageOnTheSocketLeavesTheAgentAnsweringRealRequests)
{
    const pid_t agent = onlyAgent();
    std::mt19937 random(20240611);
    std::string noise(1 << 16, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    struct Case
    {
        const char* what;
        std::string bytes;
        std::vector<int> descriptors;
    };
    const Case cases[] = {
        {"random bytes", noise, {}},
        {"random bytes with descriptors", noise, {devNull, devNull}},
        {"half a header", header(10, 0, 0).substr(0, 12), {}},
        {"a header without its descriptors", header(0, 0, 0), {}},
        {"a header with one descriptor", header(0, 0, 0), {devNull}},
        {"a header whose URL never comes", header(1000, 0, 0), {devNull, devNull}},
        {"nothing at all", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The next request is served while the garbage's connection stays open, and after.
        AgentConnection garbage;
        ASSERT_GE(garbage.fd, 0);
        if (!c.bytes.empty())
            static_cast<void>(garbage.send(c.bytes, c.descriptors));
        expectListing("bob");
        garbage.finish();
        expectListing("ann");
        EXPECT_EQ(agentProcesses(), std::vector<pid_t>{agent});
    }
    ::close(devNull);
}

TEST_F(Agent, aHeaderBeyondItsBoundsIsAnsweredAsMalformed)
{
    constexpr std::uint64_t kHuge = std::uint64_t(1) << 62;
    for (const std::string& bytes : {header(kHuge, 0, 0), header(0, kHuge, 0), header(0, 0, kHuge),
                                     header(0, 0, 0, "MOLBAG2\n")}) {
        int answer[2];
        ASSERT_EQ(::pipe2(answer, O_CLOEXEC), 0);
        AgentConnection link;
        ASSERT_TRUE(link.send(bytes, {answer[1], answer[1]}));
        ::close(answer[1]);
        const std::string reply = link.finish();
        std::string page;
        char buffer[4096];
        for (ssize_t count; (count = ::read(answer[0], buffer, sizeof buffer)) > 0;)
            page.append(buffer, static_cast<size_t>(count));
        ::close(answer[0]);
        // Accepted, then exit status 1 after the page.
        EXPECT_EQ(reply, std::string("A\x01"));
        EXPECT_EQ(parseResultPage(page).message,
                  "The request to the molb connection agent is malformed.");
    }
}

TEST_F(Agent, lengthsAHeaderAnnouncesCostNothingUntilTheBytesCome)
{
    const pid_t agent = onlyAgent();
    int answer[2];
    ASSERT_EQ(::pipe2(answer, O_CLOEXEC), 0);
    {
        AgentConnection link;
        // The largest lengths the agent takes, none of whose bytes ever arrive.
        ASSERT_TRUE(
            link.send(header(16u << 20, 1u << 20, std::uint64_t(1) << 32), {answer[1], answer[1]}));
        EXPECT_EQ(link.finish(), "");
    }
    ::close(answer[0]);
    ::close(answer[1]);
    const long peak = peakMemoryKib(agent);
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 512 * 1024) << "KiB at the agent's peak";
    expectListing("ann");
}

} // namespace
