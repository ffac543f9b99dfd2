// The request job against real handler processes: answers, failures, stopping and deleting.

#include "job_harness.h"
#include "process_support.h"
#include "support/handler_registration.h"

#include "document/xml_exception.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

using namespace Dbscout;
using namespace DbscoutTest;

using JobTest = JobTestBase;

TEST_F(JobTest, handlerAnswersWithItsPageAndGetsTheUrlAsArgument)
{
    const std::string record = m_env.file("answer");
    const std::string url = "molb://local/db/MAIN?start=0&page=20&record=" + record;
    auto job = handlerJob(m_receiver, url);
    runToCompletion(*job);
    EXPECT_EQ(job->errorText(), "");
    EXPECT_EQ(job->response()->status, "OK");
    EXPECT_EQ(recorded(*job).text, fileContent(DBSCOUT_FIXTURE_DIR "/result.xhtml"));
    EXPECT_EQ(fileContent(record + ".args"), testHandlerPath() + "\n" + url + "\n");
    EXPECT_EQ(fileContent(record + ".stdin"), ""); // a body of 0 bytes closes the input at once
}

TEST_F(JobTest, handlerThatCannotBeStartedFailsWithCannotExecute)
{
    for (const std::string program : {"/nonexistent/handler", ""}) {
        CScoutRequest job(new RecordingResponse, &m_receiver, program, "molb://h/d", nullptr, 0);
        runToCompletion(job);
        EXPECT_EQ(job.errorText(), "MOLB protocol error: cannot execute protocol!");
        EXPECT_EQ(job.response()->status, "ERROR");
        EXPECT_FALSE(recorded(job).parsed);
    }
}

TEST_F(JobTest, everyFailureOfTheParserBecomesErrorTextAndStatus)
{
    struct Case
    {
        std::function<void()> raise;
        std::string errorText;
    } cases[] = {
        {[] { throw CXMLException("Element body is missing."); },
         "XML parser error: Element body is missing."},
        {[] { throw std::bad_alloc(); }, "MOLB protocol error: std::bad_alloc"},
        {[] { throw std::runtime_error("disk full"); }, "MOLB protocol error: disk full"},
        {[] { throw NoAnswerText(); }, "Unknown error"},
        {[] { throw 42; }, "Unknown error"},
    };
    for (const Case& c : cases) {
        auto job = handlerJob(m_receiver, "molb://h/d", new ThrowingResponse(c.raise));
        runToCompletion(*job);
        EXPECT_EQ(job->errorText(), c.errorText);
        EXPECT_EQ(job->response()->status, "ERROR");
    }
}

TEST_F(JobTest, handlersThatCrashOrDieHalfwayGiveXmlErrors)
{
    const std::string page = fileContent(DBSCOUT_FIXTURE_DIR "/result.xhtml");
    const std::pair<std::string, std::string> cases[] = {
        {"testmode=crash", ""},
        {"testmode=exit-at-once", ""},
        {"testmode=die-halfway", page.substr(0, page.size() / 2)},
    };
    for (const auto& [url, received] : cases) {
        auto job = handlerJob(m_receiver, url);
        runToCompletion(*job);
        EXPECT_EQ(recorded(*job).text, received) << url;
        EXPECT_EQ(job->errorText(), "XML parser error: incomplete page of " +
                                        std::to_string(received.size()) + " bytes");
        EXPECT_EQ(job->response()->status, "ERROR");
    }
}

TEST_F(JobTest, stoppingARunningHandlerKillsItAndTheMessageStillArrives)
{
    for (const std::string mode : {"hang", "hang-with-child"}) {
        const std::string record = m_env.file(mode);
        auto job = handlerJob(m_receiver, "molb://h/d?testmode=" + mode + "&record=" + record);
        job->Start();
        ASSERT_TRUE(waitForFile(record + ".args")); // the handler has its input and waits
        job->Stop();
        job->Stop(); // harmless twice
        ASSERT_TRUE(m_receiver.waitFor(m_receiver.done.size() + 1));
        EXPECT_EQ(m_receiver.done.back(), intptr_t(job.get()));
        EXPECT_EQ(job->response()->status, "ERROR");
        EXPECT_EQ(job->errorText(), "XML parser error: incomplete page of 0 bytes");
        job.reset();
        EXPECT_TRUE(childProcesses().empty()) << mode;
    }
}

TEST_F(JobTest, jobStoppedBeforeItsThreadRunsPostsNothing)
{
    const std::string record = m_env.file("never");
    for (int i = 0; i < 100; ++i) {
        auto job = handlerJob(m_receiver, "molb://h/d?record=" + record);
        job->Stop();
        job->Start();
        if (i % 2)
            job.reset(); // deleted while its thread may not have run yet
    }
    auto neverStarted = handlerJob(m_receiver, "molb://h/d");
    neverStarted->Stop();
    neverStarted.reset();

    auto last = handlerJob(m_receiver, "molb://h/d");
    runToCompletion(*last);
    m_receiver.drain(200);
    EXPECT_EQ(m_receiver.done, std::vector<intptr_t>{intptr_t(last.get())});
    EXPECT_FALSE(waitForFile(record + ".args", 0)); // no handler ever ran
}

TEST_F(JobTest, deletingARunningJobEndsItsHandlerAndWaitsForTheRun)
{
    const std::string record = m_env.file("deleted");
    auto job = handlerJob(m_receiver, "molb://h/d?testmode=hang&record=" + record);
    const intptr_t address = intptr_t(job.get());
    job->Start();
    ASSERT_TRUE(waitForFile(record + ".args"));
    job.reset();
    EXPECT_TRUE(childProcesses().empty());
    // The run posted before it let the destructor go on; the owner ignores the stale address.
    ASSERT_TRUE(m_receiver.waitFor(1));
    EXPECT_EQ(m_receiver.done, std::vector<intptr_t>{address});
}

TEST_F(JobTest, handlerLingeringAfterItsAnswerDoesNotDelayTheMessage)
{
    auto job = handlerJob(m_receiver, "molb://h/d?testmode=linger");
    runToCompletion(*job);
    EXPECT_EQ(job->response()->status, "OK");
    EXPECT_FALSE(childProcesses().empty()); // still lingering, for a minute
    job.reset();                            // ends it
    EXPECT_TRUE(childProcesses().empty());
}
