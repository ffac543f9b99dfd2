// Handler processes at the platform level: spawning, descriptors, input, output and ending.

#include "platform/process.h"
#include "process_support.h"
#include "support/handler_registration.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace Dbscout;
using namespace DbscoutTest;

namespace {

// A spawned test handler that the test reaps in the end, whatever happened.
struct Child
{
    int in = kNoHandle;
    int out = kNoHandle;
    HandlerProcess process;

    explicit Child(const std::string& arguments)
    {
        const pid_t pid = SpawnHandler(testHandlerPath(), arguments, in, out);
        EXPECT_GT(pid, 0) << arguments;
        if (pid > 0)
            process.adopt(pid);
    }
    ~Child()
    {
        closeInput();
        if (out != kNoHandle)
            ::close(out);
        process.terminate();
        process.reap();
    }
    void closeInput()
    {
        if (in != kNoHandle)
            ::close(in);
        in = kNoHandle;
    }
    std::string output()
    {
        std::unique_ptr<char, decltype(&std::free)> buffer(ReadAllOutput(out), &std::free);
        return buffer ? std::string(buffer.get()) : std::string();
    }
};

std::string pipeName(int fd)
{
    struct stat info = {};
    ::fstat(fd, &info);
    return "pipe:[" + std::to_string(info.st_ino) + "]";
}

class ProcessTest : public ::testing::Test
{
protected:
    void SetUp() override { std::signal(SIGPIPE, SIG_DFL); } // a SIGPIPE would end the test
    TestEnv m_env;
};

} // namespace

TEST_F(ProcessTest, argumentsSplitAtBlanksAndTabsWithoutQuoteProcessing)
{
    const std::string record = m_env.file("args");
    Child child(" \"a b\"\tc  molb://h/d?record=" + record + " ");
    child.closeInput();
    child.output();
    ASSERT_TRUE(waitForFile(record + ".args"));
    EXPECT_EQ(fileContent(record + ".args"),
              testHandlerPath() + "\n\"a\nb\"\nc\nmolb://h/d?record=" + record + "\n");
}

TEST_F(ProcessTest, childHoldsOnlyItsOwnEndsAndStandardErrorOnDevNull)
{
    Child other("testmode=hang");
    Child child("testmode=fds");
    const std::string input = pipeName(child.in), output = pipeName(child.out);
    child.closeInput();
    const std::string listing = child.output();
    EXPECT_NE(listing.find("\n2 /dev/null\n"), std::string::npos) << listing;
    // A pipe shows as the same name at both ends: each of the child's pipes once, on 0 and 1.
    EXPECT_EQ(listing.find(input), listing.find("0 pipe:[") + 2) << listing;
    EXPECT_EQ(listing.find(output), listing.find("\n1 pipe:[") + 3) << listing;
    EXPECT_EQ(listing.rfind(input), listing.find(input));
    EXPECT_EQ(listing.rfind(output), listing.find(output));
    for (int end : {other.in, other.out})
        EXPECT_EQ(listing.find(pipeName(end)), std::string::npos) << listing;
}

TEST_F(ProcessTest, outputOfExactlyOneBlockIsReadWhole)
{
    for (size_t size : {size_t(0), size_t(1), size_t(0x100000), size_t(0x100001)}) {
        Child child("testmode=bytes:" + std::to_string(size));
        child.closeInput();
        std::unique_ptr<char, decltype(&std::free)> buffer(ReadAllOutput(child.out), &std::free);
        ASSERT_TRUE(buffer);
        EXPECT_EQ(std::strlen(buffer.get()), size);
        EXPECT_EQ(std::string(buffer.get(), size), handlerPattern(size));
    }
}

TEST_F(ProcessTest, missingProgramFailsAndLeavesNoDescriptor)
{
    const int before = openDescriptorCount();
    for (const std::string program : {"/nonexistent/handler", "", "/"}) {
        int in = 123, out = 456;
        EXPECT_EQ(SpawnHandler(program, "molb://h/d", in, out), -1) << program;
        EXPECT_EQ(in, 123);
        EXPECT_EQ(out, 456);
    }
    EXPECT_EQ(openDescriptorCount(), before);
    EXPECT_TRUE(childProcesses().empty());
}

TEST_F(ProcessTest, writingToAHandlerThatLeftRaisesNoSignal)
{
    Child child("testmode=exit-at-once");
    child.output(); // the handler has gone once its output ends
    sigset_t before, after, pending;
    pthread_sigmask(SIG_BLOCK, nullptr, &before);
    const std::string body(4 << 20, 'x');
    EXPECT_FALSE(WriteHandlerInput(child.in, body.data(), body.size()));
    pthread_sigmask(SIG_BLOCK, nullptr, &after);
    sigpending(&pending);
    EXPECT_EQ(sigismember(&after, SIGPIPE), sigismember(&before, SIGPIPE));
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
}

TEST_F(ProcessTest, inputIsWrittenWholeAndEchoed)
{
    std::string body(3 << 20, '\0');
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = char(i * 7919 % 251);
    Child child("testmode=echo");
    ASSERT_TRUE(WriteHandlerInput(child.in, body.data(), body.size()));
    child.closeInput();
    std::unique_ptr<char, decltype(&std::free)> buffer(ReadAllOutput(child.out), &std::free);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(std::memcmp(buffer.get(), body.data(), body.size()), 0);
}

TEST_F(ProcessTest, terminateEndsTheHandlerAndWhatItStarted)
{
    const std::string record = m_env.file("group");
    Child child("molb://h/d?testmode=hang-with-child&record=" + record);
    child.closeInput();
    ASSERT_TRUE(waitForFile(record + ".args"));
    child.process.terminate();
    // The output ends only when the handler's own child, which shares it, has gone too.
    EXPECT_EQ(child.output(), "");
    child.process.reap();
    EXPECT_TRUE(childProcesses().empty());
}
