#include "molb_harness.h"

#include "document/xml_exception.h"
#include "server_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <latch>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace MolbTest {
namespace {

std::string readToEnd(int fd)
{
    std::string text;
    char buffer[1 << 16];
    while (true) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return text;
        text.append(buffer, static_cast<size_t>(count));
    }
}

std::vector<std::string> splitAtBlanks(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

} // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input)
{
    // A test that feeds a child which stops reading must see EPIPE, not die of SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe2 failed";
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    if (spawned != 0) {
        ::close(in[1]);
        ::close(out[0]);
        ::close(err[0]);
        ADD_FAILURE() << "cannot start " << program;
        return {};
    }
    std::thread writer([&] {
        size_t done = 0;
        while (done < input.size()) {
            const ssize_t count = ::write(in[1], input.data() + done, input.size() - done);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                break;
            done += static_cast<size_t>(count);
        }
        ::close(in[1]);
    });
    std::string errors;
    std::thread errorReader([&] { errors = readToEnd(err[0]); });
    ProcessResult result;
    result.output = readToEnd(out[0]);
    writer.join();
    errorReader.join();
    result.errors = std::move(errors);
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string handlerPath()
{
    return MOLB_HANDLER_PATH;
}

ProcessResult runHandler(const std::string& url, const std::string& input)
{
    return runProcess(handlerPath(), splitAtBlanks(url), input);
}

ProcessResult runAdmin(const std::vector<std::string>& arguments, const std::string& input)
{
    return runProcess(MOLB_ADMIN_PATH, arguments, input);
}

std::vector<ProcessResult> runTogether(const std::vector<std::string>& urls,
                                       const std::vector<std::string>& inputs)
{
    std::vector<ProcessResult> results(urls.size());
    std::latch start(static_cast<std::ptrdiff_t>(urls.size()));
    std::vector<std::thread> threads;
    for (size_t i = 0; i < urls.size(); ++i) {
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            results[i] = runHandler(urls[i], i < inputs.size() ? inputs[i] : std::string());
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    return results;
}

namespace {

template <typename Page> Page parsePage(const std::string& text, const char* what)
{
    Page page;
    try {
        page.ParseText(text.c_str());
    } catch (const Dbscout::CXMLException& error) {
        ADD_FAILURE() << "the component cannot parse the " << what << ": " << error.message()
                      << "\n"
                      << text.substr(0, 2000);
    }
    return page;
}

} // namespace

Dbscout::ResultPage parseResultPage(const std::string& text)
{
    return parsePage<Dbscout::ResultPage>(text, "result page");
}

Dbscout::StatusPage parseStatusPage(const std::string& text)
{
    return parsePage<Dbscout::StatusPage>(text, "status page");
}

std::string TestStore::url(const std::string& rest) const
{
    return "molb://" + host + "/" + database + "/" + rest;
}

ProcessResult TestStore::admin(const std::string& command,
                               const std::vector<std::string>& arguments,
                               const std::string& input) const
{
    std::vector<std::string> words = splitAtBlanks(command);
    words.push_back(target);
    words.insert(words.end(), arguments.begin(), arguments.end());
    return runAdmin(words, input);
}

TestStore makeStore(const std::string& database)
{
    TestStore store = serverStore()
                          ? TestStore{serverAddress().host, database, serverTarget(database)}
                          : TestStore{"local", database, database};
    const ProcessResult result = store.admin("init", {});
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    return store;
}

void createDatabase(const std::string& name)
{
    makeStore(name);
}

std::string saveObject(const std::string& database, const std::string& kind,
                       const std::string& name, const std::string& bytes, const std::string& extra)
{
    const ProcessResult result = runHandler(
        storeUrl(database + "/" + kind + "/" + name + "?query=MAIN&command=put" + extra), bytes);
    const Dbscout::StatusPage page = parseStatusPage(result.output);
    EXPECT_EQ(page.status, "OK") << result.output;
    // The link fetches the object by id: molb://local/DB/KIND/ID?command=fetch
    const size_t slash = page.linkHref.rfind('/');
    const size_t question = page.linkHref.find('?', slash);
    return slash == std::string::npos ? std::string()
                                      : page.linkHref.substr(slash + 1, question - slash - 1);
}

std::string storeFolder()
{
    return std::string(std::getenv("XDG_DATA_HOME")) + "/molb";
}

std::string storeUrl(const std::string& rest)
{
    return "molb://" + (serverStore() ? serverAddress().host : std::string("local")) + "/" + rest;
}

std::string noDatabaseMessage(const std::string& database)
{
    if (serverStore()) {
        const std::string& host = serverAddress().host;
        return "There is no database \"" + database + "\" on the server " +
               host.substr(0, host.rfind(':')) + ".";
    }
    return "There is no database \"" + database +
           "\" on this computer (create it with molb-admin init " + database + ").";
}

std::string adminTarget(const std::string& database)
{
    return serverStore() ? serverTarget(database) : database;
}

std::string runSql(const std::string& database, const std::string& sql)
{
    const ProcessResult result =
        serverStore()
            ? runPsql(database, sql)
            : runProcess("/usr/bin/sqlite3", {storeFolder() + "/" + database + ".sqlite", sql});
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    return result.output;
}

std::string onOneLine(const std::string& rows)
{
    std::string line = rows;
    if (!line.empty())
        line.pop_back();
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line + "\n";
}

std::string sqlHexOf(const std::string& column)
{
    return serverStore() ? "upper(encode(convert_to(" + column + ", 'UTF8'), 'hex'))"
                         : "hex(" + column + ")";
}

} // namespace MolbTest
