// The request job with large answers and bodies, many jobs at once and many in a row.

#include "job_harness.h"
#include "process_support.h"

#include <gtest/gtest.h>

using namespace Dbscout;
using namespace DbscoutTest;

namespace {

using JobLoadTest = JobTestBase;

std::string bodyOf(size_t size)
{
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i)
        body[i] = char(1 + i * 31 % 253); // no NUL: the answer is read as text
    return body;
}

} // namespace

TEST_F(JobLoadTest, largeAnswersArriveWhole)
{
    for (size_t size : {size_t(0x100000), size_t(50) << 20}) {
        auto job = handlerJob(m_receiver, "testmode=bytes:" + std::to_string(size));
        runToCompletion(*job);
        EXPECT_EQ(recorded(*job).text.size(), size);
        EXPECT_TRUE(recorded(*job).text == handlerPattern(size)) << size;
    }
}

TEST_F(JobLoadTest, largeBodyIsReadFullyByTheHandler)
{
    const std::string body = bodyOf(10 << 20);
    auto job = handlerJob(m_receiver, "testmode=echo", nullptr, body.data(), uint32_t(body.size()));
    runToCompletion(*job);
    EXPECT_EQ(recorded(*job).text.size(), body.size());
    EXPECT_TRUE(recorded(*job).text == body);
}

TEST_F(JobLoadTest, bodyToAHandlerThatNeverReadsLeavesTheHostAlive)
{
    const std::string body = bodyOf(10 << 20);
    for (int i = 0; i < 5; ++i) {
        auto job = handlerJob(m_receiver, "testmode=exit-at-once", nullptr, body.data(),
                              uint32_t(body.size()));
        runToCompletion(*job);
        EXPECT_EQ(job->response()->status, "ERROR");
    }
}

// Every handler waits for the end of its input before it answers and then lives on. A handler
// that had inherited another job's input end would keep that job's handler from ever seeing
// the end of its input, and that job would never finish.
TEST_F(JobLoadTest, jobsSpawningAtOnceEachCloseOnlyTheirOwnInput)
{
    std::vector<std::unique_ptr<CScoutRequest>> jobs;
    for (int i = 0; i < 16; ++i)
        jobs.push_back(handlerJob(m_receiver, "testmode=linger"));
    for (auto& job : jobs)
        job->Start();
    ASSERT_TRUE(m_receiver.waitFor(jobs.size()));
    for (auto& job : jobs)
        EXPECT_EQ(job->response()->status, "OK");
    jobs.clear();
}

TEST_F(JobLoadTest, thousandJobsInARowLeaveNoProcessNorDescriptor)
{
    const int descriptors = openDescriptorCount();
    for (int i = 0; i < 1000; ++i) {
        auto job = handlerJob(m_receiver, i % 10 == 9 ? "testmode=crash" : "molb://h/d");
        runToCompletion(*job);
        ASSERT_EQ(job->response()->status, i % 10 == 9 ? "ERROR" : "OK") << i;
    }
    EXPECT_TRUE(childProcesses().empty());
    EXPECT_EQ(openDescriptorCount(), descriptors);
}
