// A request job whose handler pipes cannot be made. This program has its own pipe2, through which
// the request layer makes its pipes: it passes to the system, except while a test holds it
// failing, when it first waits for the test's word, so that the test can stop the job while the
// job is making its pipes.

#include "process_support.h"
#include "support/handler_registration.h"
#include "support/test_env.h"

#include "document/scout_response.h"
#include "platform/registered_messages.h"
#include "request/scout_request.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Dbscout;

namespace {

struct PipeGate
{
    std::mutex mutex;
    std::condition_variable changed;
    bool failing = false;
    bool entered = false; // a pipe2 call is waiting to fail
    bool released = false;
} gate;

} // namespace

extern "C" int pipe2(int ends[2], int flags)
{
    std::unique_lock lock(gate.mutex);
    if (!gate.failing)
        return int(::syscall(SYS_pipe2, ends, flags));
    gate.entered = true;
    gate.changed.notify_all();
    gate.changed.wait(lock, [] { return gate.released; });
    errno = EMFILE;
    return -1;
}

namespace {

// Never reached: the job fails before its handler runs.
struct UnusedResponse final : ScoutResponse
{
    void Parse(int) override { status = "OK"; }
};

struct CompletionReceiver final : QObject
{
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::Type(MOLBSCOUTPANE_MARKUP_DONE))
            return QObject::event(event);
        ++done;
        return true;
    }
    int done = 0;
};

class PipeFailureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DbscoutTest::ensureCoreApplication("request_pipe_failure_test");
        std::lock_guard lock(gate.mutex);
        gate.failing = true;
        gate.entered = false;
        gate.released = false;
    }
    void TearDown() override
    {
        {
            std::lock_guard lock(gate.mutex);
            gate.failing = false;
        }
        EXPECT_TRUE(DbscoutTest::childProcesses().empty());
    }

    // Starts a job, waits until it is making its pipes, runs between (if given), lets its pipes
    // fail and waits for its completion message.
    std::unique_ptr<CScoutRequest> runFailingJob(const std::function<void(CScoutRequest&)>& between)
    {
        auto job = std::make_unique<CScoutRequest>(std::make_unique<UnusedResponse>(), &m_receiver,
                                                   DbscoutTest::testHandlerPath(), "molb://h/d",
                                                   nullptr, 0);
        job->Start();
        {
            std::unique_lock lock(gate.mutex);
            gate.changed.wait(lock, [] { return gate.entered; });
        }
        if (between)
            between(*job);
        {
            std::lock_guard lock(gate.mutex);
            gate.released = true;
        }
        gate.changed.notify_all();
        QDeadlineTimer deadline(60000); // only a guard against a hang
        while (m_receiver.done == 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        EXPECT_EQ(m_receiver.done, 1);
        return job;
    }

    DbscoutTest::TestEnv m_env;
    CompletionReceiver m_receiver;
};

} // namespace

TEST_F(PipeFailureTest, pipesThatCannotBeMadeFailTheJobWithPipeError)
{
    const int descriptors = DbscoutTest::openDescriptorCount();
    auto job = runFailingJob(nullptr);
    EXPECT_EQ(job->errorText(), "MOLB protocol error: Pipe error!");
    EXPECT_EQ(job->response()->status, "ERROR");
    job.reset();
    EXPECT_EQ(DbscoutTest::openDescriptorCount(), descriptors);
}

TEST_F(PipeFailureTest, aJobStoppedWhileItMakesItsPipesEndsAsCancelled)
{
    auto job = runFailingJob([](CScoutRequest& running) { running.Stop(); });
    EXPECT_EQ(job->errorText(), ""); // cancelled, not a pipe error
    EXPECT_EQ(job->response()->status, "ERROR");
}
