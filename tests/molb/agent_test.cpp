// The connection agent that serves server requests for molb-handler, watched from outside: its
// processes in /proc, its connections in the server's pg_stat_activity, and its socket spoken to
// directly. Each test has a runtime folder, and so an agent, of its own.

#include "molb_harness.h"

#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace MolbTest;
namespace fs = std::filesystem;

namespace {

std::string agentFolder() // as the handler chooses it
{
    return std::string(std::getenv("XDG_RUNTIME_DIR")) + "/molb";
}

std::string agentSocketFile()
{
    return agentFolder() + "/agent.socket";
}

// The molb-agent processes serving the test's folder, found by their command lines.
std::vector<pid_t> agentProcesses()
{
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        // A process that ended meanwhile, or a zombie, shows no command line.
        std::ifstream file(entry.path() / "cmdline", std::ios::binary);
        std::vector<std::string> arguments;
        for (std::string argument; std::getline(file, argument, '\0');)
            arguments.push_back(argument);
        if (arguments.size() == 2 && fs::path(arguments[0]).filename() == "molb-agent" &&
            arguments[1] == agentFolder())
            found.push_back(std::stoi(entry.path().filename()));
    }
    return found;
}

// Polls until condition holds or 20 seconds pass, so that a slow machine makes a test slower,
// not wrong.
bool waitFor(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The server backends of molb requests logged in as role (only those in state when given).
int handlerBackends(const std::string& role, const std::string& state = {})
{
    const ProcessResult result =
        runPsql("postgres", "SELECT count(*) FROM pg_stat_activity WHERE application_name = "
                            "'molb-handler' AND usename = '" +
                                role + "'" + (state.empty() ? "" : " AND state = '" + state + "'"));
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    return result.exitCode == 0 ? std::stoi(result.output) : -1;
}

std::string bigRecord()
{
    std::string bytes = ">big\n";
    while (bytes.size() < (4u << 20))
        bytes += "ACGTTGCAACGTTGCAACGTTGCAACGTTGCAACGTTGCAACGTTGCAACGTTGCAACGTTGCA\n";
    return bytes;
}

// A raw connection to the agent's socket, closed with the object.
struct AgentConnection
{
    AgentConnection()
    {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, agentSocketFile().c_str(), sizeof address.sun_path - 1);
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    ~AgentConnection() { ::close(fd); }

    // Sends bytes with descriptors attached; false when the agent refused them.
    bool send(const std::string& bytes, const std::vector<int>& descriptors = {})
    {
        iovec part{const_cast<char*>(bytes.data()), bytes.size()};
        std::vector<char> control(CMSG_SPACE(descriptors.size() * sizeof(int)));
        msghdr message = {};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        if (!descriptors.empty()) {
            message.msg_control = control.data();
            message.msg_controllen = control.size();
            cmsghdr* rights = CMSG_FIRSTHDR(&message);
            rights->cmsg_level = SOL_SOCKET;
            rights->cmsg_type = SCM_RIGHTS;
            rights->cmsg_len = CMSG_LEN(descriptors.size() * sizeof(int));
            std::memcpy(CMSG_DATA(rights), descriptors.data(), descriptors.size() * sizeof(int));
        }
        ssize_t sent = ::sendmsg(fd, &message, MSG_NOSIGNAL);
        for (size_t done = 0; sent > 0 && (done += static_cast<size_t>(sent)) < bytes.size();)
            sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        return sent > 0;
    }
    // Says the request is whole and reads until the agent closes its end (at most 30 seconds).
    std::string finish()
    {
        ::shutdown(fd, SHUT_WR);
        const timeval limit{30, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        std::string received;
        char buffer[4096];
        ssize_t count = 0;
        while ((count = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            received.append(buffer, static_cast<size_t>(count));
        // An agent that closes with bytes of ours unread resets the connection: closed all the
        // same.
        EXPECT_TRUE(count == 0 || errno == ECONNRESET)
            << "the agent neither answered nor closed the connection: " << std::strerror(errno);
        return received;
    }

    int fd = -1;
};

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

    // ann's URL to fetch bigRecord(), far larger than the pipes between agent, handler and test
    // hold, which she saves first.
    std::string bigFetch()
    {
        return store.url("dnarna/" + saveObject("lab", "dnarna", "big", bigRecord(), as("ann")) +
                         "?command=fetch" + as("ann"));
    }

    std::string id;
};

TEST_F(Agent, requestsOfEachRoleInTurnShareOneAgentAndOneServerConnectionPerRole)
{
    const pid_t agent = onlyAgent();
    for (int round = 0; round < 4; ++round) {
        for (const char* user : {"ann", "bob", "eve"}) {
            expectListing(user);
            EXPECT_EQ(agentProcesses(), std::vector<pid_t>{agent}) << user << round;
            EXPECT_EQ(handlerBackends(user), 1) << user << round;
        }
    }
}

TEST_F(Agent, aWrongPasswordIsRefusedWhileTheRightOneIdlesInTheAgent)
{
    expectListing("ann");
    ASSERT_EQ(handlerBackends("ann"), 1);
    for (const char* credentials :
         {"&user=ann&pass=wrong", "&user=ann&pass=ANN-PW", "&user=ann&pass=ann-pw%20"}) {
        EXPECT_EQ(
            refusal(runHandler(store.url("dnarna/?start=0&page=50&query=MAIN") + credentials)),
            "Wrong user name or password.")
            << credentials;
    }
    expectListing("ann");
    EXPECT_EQ(handlerBackends("ann"), 1);
}

TEST_F(Agent, aRequestWithoutAUserLogsInAsItsOwnHandlersEnvironmentSays)
{
    // A store without users serves whoever the server lets in.
    const TestStore open = makeStore("open");
    ASSERT_EQ(runHandler(open.url("dnarna/x?query=MAIN&command=put"), ">x\nACGT\n").exitCode, 0);
    const ServerAddress& server = serverAddress();
    // Who, the environment, and the refusal (none: the listing is served).
    using Login = std::tuple<const char*, std::vector<std::string>, std::string>;
    const Login logins[] = {
        {"the superuser", {"PGUSER=" + server.admin, "PGPASSWORD=" + server.password}, ""},
        {"eve",
         {"PGUSER=eve", "PGPASSWORD=eve-pw"},
         "You are not a user of the database \"open\" on " + server.host + "."},
        {"the superuser with a wrong password",
         {"PGUSER=" + server.admin, "PGPASSWORD=wrong"},
         "This database needs a user name and password (user= and pass=)."},
    };
    const auto expectAnswerFor = [&open](const Login& login) {
        const auto& [who, environment, refusal] = login;
        const ProcessResult result =
            runProcess(handlerPath(), {open.url("dnarna/?query=MAIN")}, {}, environment);
        const Dbscout::ResultPage page = parseResultPage(result.output);
        EXPECT_EQ(result.exitCode, refusal.empty() ? 0 : 1) << who;
        EXPECT_EQ(page.message, refusal) << who;
        EXPECT_EQ(page.rows.size(), refusal.empty() ? 1u : 0u) << who;
    };
    // Started by one login, the agent serves each later one as that login.
    endAgent();
    expectAnswerFor(logins[0]);
    const pid_t agent = onlyAgent();
    for (const Login& login : {logins[1], logins[2], logins[0]})
        expectAnswerFor(login);
    EXPECT_EQ(agentProcesses(), std::vector<pid_t>{agent});
}

// A folder taken away ends the agent after every test.
TEST_F(Agent, anIdleAgentClosesItsConnectionsAndEnds)
{
    expectListing("ann");
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
    EXPECT_NE(onlyAgent(), killed);
    EXPECT_TRUE(waitFor([] { return handlerBackends("ann") == 1; }));
}

TEST_F(Agent, aCheckInKilledInsideItsTransactionLeavesNoTransactionOpen)
{
    ASSERT_EQ(operation("ann", id, "command=co&command=dir").exitCode, 0);
    const std::string checkIn =
        store.url("dnarna/" + id + "?start=0&page=10" + as("ann") + "&command=ci&command=dir");
    {
        Child handler(handlerPath(), {checkIn + "&comment=late"},
                      {"DBSCOUT_MOLB_TEST_PAUSE=checkin"});
        ASSERT_EQ(handler.errorLine(), "paused at checkin\n");
        EXPECT_EQ(handlerBackends("ann", "idle in transaction"), 1);
    }
    EXPECT_TRUE(waitFor([] { return handlerBackends("ann", "idle in transaction") == 0; }));
    EXPECT_TRUE(waitFor([] { return handlerBackends("ann") == 0; }))
        << "the connection of a killed request went back to the pool";
}

TEST_F(Agent, anAnswerWhoseReaderWentAwayLeavesTheAgentServing)
{
    const std::string fetch = bigFetch();
    const pid_t agent = onlyAgent();
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "handler killed while answering" : "handler's reader gone");
        {
            Child handler(handlerPath(), {fetch});
            ASSERT_EQ(handler.output(1), ">");
            if (!killed) {
                handler.dropOutput();
                EXPECT_TRUE(handler.waitExit(std::chrono::seconds(20)).has_value())
                    << "the handler hangs";
            }
        }
        EXPECT_TRUE(runHandler(fetch).output == bigRecord());
        EXPECT_EQ(agentProcesses(), std::vector<pid_t>{agent});
        EXPECT_TRUE(waitFor([] { return handlerBackends("ann") == 1; }));
    }
}

TEST_F(Agent, aRequestThatThrowsEndsNeitherTheAgentNorAnotherUsersRequest)
{
    // ann's fetch stays inside the agent while her reader waits.
    const std::string fetch = bigFetch();
    const std::string bobs = save("bob", "bobsobject");
    ASSERT_EQ(operation("bob", bobs, "command=co&command=dir").exitCode, 0);
    const pid_t agent = onlyAgent();

    Child reader(handlerPath(), {fetch});
    ASSERT_EQ(reader.output(1), ">");
    // Meanwhile bob's check-in throws inside its transaction, as a fault of the program would.
    const ProcessResult failed = runProcess(
        handlerPath(),
        {store.url("dnarna/" + bobs + "?start=0&page=50" + as("bob") + "&command=ci&command=dir")},
        {}, {"DBSCOUT_MOLB_TEST_PAUSE=checkin:throw"});
    EXPECT_EQ(failed.exitCode, 2);
    EXPECT_EQ(parseResultPage(failed.output).message,
              "The request failed inside the handler: test fault at checkin.");

    EXPECT_TRUE(">" + reader.output() == bigRecord()) << "ann's answer was cut";
    EXPECT_EQ(reader.waitExit(std::chrono::seconds(20)), 0);
    EXPECT_EQ(agentProcesses(), std::vector<pid_t>{agent});
    // bob's transaction went with its connection; his hold stands and his next check-in works.
    EXPECT_EQ(runSql("lab", "SELECT checkout_by FROM objects WHERE id = " + bobs), "bob\n");
    EXPECT_EQ(operation("bob", bobs, "command=ci&command=dir").exitCode, 0);
    EXPECT_EQ(agentProcesses(), std::vector<pid_t>{agent});
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
    std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"others may pass through", folderWith(fs::perms(0701))},
        {"its group may enter", folderWith(fs::perms(0750))},
        {"a link to a private folder", [&] { fs::create_directory_symlink(elsewhere, folder); }},
        {"a file", [&] { ASSERT_EQ(::close(::creat(folder.c_str(), 0600)), 0); }},
    };
    // Only the superuser can give a folder away.
    if (::geteuid() == 0)
        cases.emplace_back("another user's", [&] {
            folderWith(fs::perms(0700))();
            ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        });
    for (const auto& [what, make] : cases) {
        SCOPED_TRACE(what);
        make();
        const ProcessResult result = runHandler(store.url("dnarna/?query=MAIN" + as("ann")));
        EXPECT_EQ(result.exitCode, 2);
        const Dbscout::ResultPage page = parseResultPage(result.output);
        EXPECT_EQ(page.status, "ERROR");
        EXPECT_EQ(page.message,
                  "The folder " + folder.string() +
                      " of the molb connection agent must be a folder of yours that "
                      "nobody else may enter; remove it or correct its owner and mode.");
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
    using Case = std::tuple<const char*, std::string, std::vector<int>>;
    for (const auto& [what, bytes, descriptors] : {
             Case{"random bytes with descriptors", noise, {devNull, devNull}},
             Case{"half a header", header(10, 0, 0).substr(0, 12), {}},
             Case{"a header without its descriptors", header(0, 0, 0), {}},
             Case{"a header with one descriptor", header(0, 0, 0), {devNull}},
             Case{"a header whose URL never comes", header(1000, 0, 0), {devNull, devNull}},
             Case{"nothing at all", "", {}},
         }) {
        SCOPED_TRACE(what);
        // The next request is served while the garbage's connection stays open, and after.
        AgentConnection garbage;
        if (!bytes.empty())
            static_cast<void>(garbage.send(bytes, descriptors));
        expectListing("bob");
        garbage.finish();
        expectListing("ann");
        EXPECT_EQ(agentProcesses(), std::vector<pid_t>{agent});
    }
    ::close(devNull);
}

TEST_F(Agent, aHeaderBeyondItsBoundsIsMalformedAndOneWithinThemCostsNothingUntilItsBytesCome)
{
    constexpr std::uint64_t kHuge = std::uint64_t(1) << 62;
    for (const std::string& bytes : {header(kHuge, 0, 0), header(0, kHuge, 0), header(0, 0, kHuge),
                                     header(0, 0, 0, "MOLBAG2\n")}) {
        int answer[2];
        ASSERT_EQ(::pipe2(answer, O_CLOEXEC), 0);
        AgentConnection link;
        ASSERT_TRUE(link.send(bytes, {answer[1], answer[1]}));
        ::close(answer[1]);
        // Accepted, then exit status 1 after the page.
        EXPECT_EQ(link.finish(), std::string("A\x01"));
        std::string page;
        char buffer[4096];
        for (ssize_t count; (count = ::read(answer[0], buffer, sizeof buffer)) > 0;)
            page.append(buffer, static_cast<size_t>(count));
        ::close(answer[0]);
        EXPECT_EQ(parseResultPage(page).message,
                  "The request to the molb connection agent is malformed.");
    }
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
    long peak = -1; // the agent's peak resident memory in KiB
    std::ifstream status("/proc/" + std::to_string(agent) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:"))
            peak = std::stol(line.substr(6));
    }
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 512 * 1024) << "KiB at the agent's peak";
    expectListing("ann");
}

} // namespace
