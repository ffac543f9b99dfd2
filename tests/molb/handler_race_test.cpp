// Handlers racing for the same object, and a check-in killed inside its transaction.

#include "molb_fixture.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

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
    std::vector<std::string> users;
    for (int i = 0; i < 8; ++i) {
        users.push_back("u" + std::to_string(i));
        ASSERT_EQ(store.admin("user add", {users.back()}, users.back() + "-pw\n").exitCode, 0);
    }
    std::vector<std::string> urls;
    for (const std::string& user : users)
        urls.push_back(
            store.url("dnarna/" + id + "?start=0&page=10" + as(user) + "&command=co&command=dir"));
    const std::vector<ProcessResult> results = runTogether(urls);

    std::string winner;
    for (size_t i = 0; i < results.size(); ++i) {
        const Dbscout::ResultPage page = parseResultPage(results[i].output);
        if (page.status == "OK") {
            EXPECT_TRUE(winner.empty()) << users[i] << " won as well as " << winner;
            winner = users[i];
            ASSERT_EQ(page.rows.size(), 1u);
            EXPECT_EQ(page.rows[0].checkoutBy, users[i]);
        }
    }
    ASSERT_FALSE(winner.empty());
    for (size_t i = 0; i < results.size(); ++i) {
        if (users[i] == winner)
            continue;
        EXPECT_EQ(results[i].exitCode, 1);
        EXPECT_EQ(parseResultPage(results[i].output).message,
                  "\"x\" is checked out by " + winner + ".");
    }
    EXPECT_EQ(holder(), winner + "\n");
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
        const Dbscout::ResultPage loser = parseResultPage(results[checkedIn ? 1 : 0].output);
        EXPECT_EQ(loser.message, "\"x\" is not checked out.");
        EXPECT_EQ(holder(), "\n");
        EXPECT_EQ(std::stoi(revisions()), std::stoi(before) + (checkedIn ? 1 : 0));
        checkIns += checkedIn;
    }
    EXPECT_EQ(std::stoi(revisions()), 1 + checkIns);
}

// Starts the handler for url with nothing on its input and output, its standard error on
// errorFd (or nowhere), and extra in its environment.
pid_t spawnQuiet(const std::string& url, int errorFd, const std::string& extra = {})
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (errorFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, errorFd, 2);
    std::vector<std::string> variables;
    if (!extra.empty())
        variables.push_back(extra);
    for (char** entry = environ; *entry; ++entry)
        variables.emplace_back(*entry);
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string program = handlerPath();
    std::string argument = url;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void killAndReap(pid_t pid)
{
    ::kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

// A handler for url that waits at the named stage of its work, killed there.
void killAtStage(const std::string& url, const char* stage)
{
    int err[2];
    ASSERT_EQ(pipe2(err, O_CLOEXEC), 0);
    const pid_t pid = spawnQuiet(url, err[1], std::string("DBSCOUT_MOLB_TEST_PAUSE=") + stage);
    ::close(err[1]);
    std::string said;
    char buffer[256];
    ssize_t count = 0;
    while (said.find('\n') == std::string::npos &&
           (count = ::read(err[0], buffer, sizeof buffer)) > 0)
        said.append(buffer, static_cast<size_t>(count));
    killAndReap(pid);
    ::close(err[0]);
    EXPECT_EQ(said, std::string("paused at ") + stage + "\n");
}

TEST_F(Race, aCheckInKilledInsideItsTransactionLeavesTheObjectCheckedOut)
{
    ASSERT_EQ(operation("ann", id, "command=co&command=dir").exitCode, 0);
    const std::string url = store.url("dnarna/" + id + "?start=0&page=10" + as("ann") +
                                      "&command=ci&command=dir&comment=late");
    killAtStage(url, "checkin");
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
        const pid_t pid = spawnQuiet(url, -1);
        std::this_thread::sleep_for(whole * step / 10);
        killAndReap(pid);
        const bool held = holder() == "ann\n";
        EXPECT_EQ(std::stoi(revisions()), before + (held ? 0 : 1)) << "step " << step;
        if (!held)
            continue;
        ASSERT_EQ(operation("ann", id, "command=unco&command=dir").exitCode, 0);
    }
}

} // namespace
