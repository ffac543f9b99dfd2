// The hive files themselves: several processes and threads at once, a writer killed half-way,
// damaged files, and a machine hive this process may not write.

#include "support/child_process.h"
#include "platform/registry_fixture.h"

#include <QDir>
#include <QTemporaryDir>

#include <atomic>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace DbscoutTest;
using Dbscout::RegKey;

namespace {

const std::string kWriter = testBinaryDir() + "/dbscout-registry-writer";

std::string expectedData(long i)
{
    return "value " + std::to_string(i) + std::string(1, '\0');
}

// The writer's next report, a whole line without its line break; false at the end. A line cut
// short by the writer's death reports nothing.
bool nextReport(Child& writer, std::string& line)
{
    line = writer.outputLine();
    if (!line.ends_with('\n'))
        return false;
    line.pop_back();
    return true;
}

} // namespace

TEST_F(RegistryTest, twoProcessesWritingAtOnceLoseNothing)
{
    constexpr long kEach = 1000;
    ProcessResult first, second;
    std::thread other([&] {
        second = runProcess(kWriter, {"Software\\Shared", "b", std::to_string(kEach)});
    });
    first = runProcess(kWriter, {"Software\\Shared", "a", std::to_string(kEach)});
    other.join();
    ASSERT_EQ(first.exitCode, 0) << first.errors;
    ASSERT_EQ(second.exitCode, 0) << second.errors;

    RegKey key;
    ASSERT_EQ(key.open(HKEY_CURRENT_USER, "Software\\Shared"), ERROR_SUCCESS);
    EXPECT_EQ(valueCount(key.get()), DWORD(2 * kEach));
    for (const char* prefix : {"a", "b"}) {
        for (long i = 0; i < kEach; ++i) {
            const std::string name = prefix + std::to_string(i);
            ASSERT_EQ(value(key.get(), name.c_str()), (StoredValue{REG_SZ, expectedData(i)}))
                << name;
        }
    }
}

TEST_F(RegistryTest, writerKilledHalfWayLeavesEveryCommittedValue)
{
    std::set<long> committed;
    {
        Child writer(kWriter, {"Software\\Killed", "v", "1000000"});
        ASSERT_TRUE(writer.started());
        std::string line;
        while (committed.size() < 300 && nextReport(writer, line))
            committed.insert(std::stol(line));
        writer.kill();
        while (nextReport(writer, line)) // reported before it died
            committed.insert(std::stol(line));
        EXPECT_EQ(writer.waitExit().value_or(0), -1);
    }
    ASSERT_GE(committed.size(), 300u);
    EXPECT_EQ(fileAnswer(m_env.file("registry/user.db"), "PRAGMA integrity_check"), "ok");

    Dbscout::resetRegistryForTests();
    RegKey key;
    ASSERT_EQ(key.open(HKEY_CURRENT_USER, "Software\\Killed", KEY_ALL_ACCESS), ERROR_SUCCESS);
    for (long i : committed) {
        const std::string name = "v" + std::to_string(i);
        ASSERT_EQ(value(key.get(), name.c_str()), (StoredValue{REG_SZ, expectedData(i)})) << name;
    }
    // At most the one value in flight is there beyond those reported.
    EXPECT_LE(valueCount(key.get()), DWORD(committed.size() + 1));
    put(key.get(), "after", REG_SZ, "still writable");
}

TEST_F(RegistryTest, damagedStoreGivesErrorCodesNeverACrash)
{
    const std::string file = m_env.file("registry/user.db");
    {
        RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Big");
        for (int i = 0; i < 300; ++i)
            put(key.get(), std::to_string(i).c_str(), REG_BINARY, std::string(200, char(i)));
    }
    Dbscout::resetRegistryForTests(); // closes the file; its journal is folded in
    std::string good;
    {
        std::ifstream in(file, std::ios::binary);
        good.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_GT(good.size(), 8192u);

    std::string newer = good;
    newer[60] = 99; // user_version 99 in the header: written by a newer store

    const struct
    {
        const char* damage;
        std::string bytes;
    } cases[] = {
        {"garbage", std::string(9000, '\x5a')},
        {"truncated to half", good.substr(0, good.size() / 2)},
        {"pages overwritten", good.substr(0, 100) + std::string(good.size() - 100, '\xa5')},
        {"newer format", newer},
    };
    for (const auto& c : cases) {
        Dbscout::resetRegistryForTests();
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out << c.bytes;
        }
        RegKey key;
        for (const LONG result : {key.open(HKEY_CURRENT_USER, "Software\\Big"),
                                  key.create(HKEY_CURRENT_USER, "Software\\New")})
            EXPECT_TRUE(result == ERROR_BADDB || result == ERROR_CANTREAD)
                << c.damage << ": " << result;
        // The other hive is not affected.
        EXPECT_EQ(key.create(HKEY_LOCAL_MACHINE, "Software\\Fine"), ERROR_SUCCESS) << c.damage;
    }

    Dbscout::resetRegistryForTests();
    ::unlink(file.c_str());
    ASSERT_EQ(::mkdir(file.c_str(), 0700), 0);
    RegKey key;
    EXPECT_EQ(key.open(HKEY_CURRENT_USER, "Software"), ERROR_CANTREAD);
}

TEST_F(RegistryTest, machineHiveThatCannotBeWrittenRefusesChanges)
{
    // The test may run as root, who writes anything: the check runs as "nobody" then, who must
    // reach the store. The test world may sit under a home only its owner enters (a clone in
    // /root), so this store has a folder of its own under the system's temporary folder.
    QTemporaryDir reachable(QDir::tempPath() + "/dbscout-hive-XXXXXX");
    ASSERT_TRUE(reachable.isValid());
    const std::string folder = reachable.path().toStdString();
    qputenv("DBSCOUT_REGISTRY_DIR", reachable.path().toLocal8Bit());
    Dbscout::resetRegistryForTests();
    {
        RegKey key = createKey(HKEY_LOCAL_MACHINE, "Software\\Vendor");
        put(key.get(), "font_table", REG_SZ, "Arial");
    }
    Dbscout::resetRegistryForTests();
    ASSERT_EQ(::chmod((folder + "/machine.db").c_str(), 0444), 0);
    ::chmod(folder.c_str(), 0555);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(10);
        RegKey key;
        if (key.open(HKEY_LOCAL_MACHINE, "Software\\Vendor") != ERROR_SUCCESS)
            ::_exit(11);
        if (value(key.get(), "font_table") != StoredValue{REG_SZ, "Arial"})
            ::_exit(12);
        if (setValue(key.get(), "x", REG_SZ, "y") != ERROR_ACCESS_DENIED)
            ::_exit(13);
        RegKey writable;
        if (writable.open(HKEY_LOCAL_MACHINE, "Software\\Vendor", KEY_WRITE) != ERROR_ACCESS_DENIED)
            ::_exit(14);
        if (writable.create(HKEY_LOCAL_MACHINE, "Software\\Other") != ERROR_ACCESS_DENIED)
            ::_exit(15);
        ::_exit(0);
    }
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ::chmod(folder.c_str(), 0755);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "failed check " << WEXITSTATUS(status);
}

TEST_F(RegistryTest, threadsReadAndWriteTogether)
{
    constexpr int kThreads = 4;
    constexpr int kEach = 200;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &failures] {
            RegKey key;
            if (key.create(HKEY_CURRENT_USER, "Software\\Threads") != ERROR_SUCCESS)
                ++failures;
            for (int i = 0; i < kEach; ++i) {
                const std::string name = std::to_string(t) + "-" + std::to_string(i);
                if (setValue(key.get(), name.c_str(), REG_SZ, name) != ERROR_SUCCESS ||
                    value(key.get(), name.c_str()) != StoredValue{REG_SZ, name})
                    ++failures;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
    RegKey key;
    ASSERT_EQ(key.open(HKEY_CURRENT_USER, "Software\\Threads"), ERROR_SUCCESS);
    EXPECT_EQ(valueCount(key.get()), DWORD(kThreads * kEach));
}
