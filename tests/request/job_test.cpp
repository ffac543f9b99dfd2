// The request job against real handler processes: answers, failures, stopping and deleting, large
// answers and bodies, many jobs at once and many in a row.

#include "process_support.h"
#include "support/handler_registration.h"
#include "support/test_env.h"

#include "document/answer_page.h"
#include "document/xml_exception.h"
#include "platform/process.h"
#include "platform/registered_messages.h"
#include "request/scout_request.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <new>
#include <regex>
#include <unistd.h>

using namespace Dbscout;
using namespace DbscoutTest;

namespace {

std::string readAnswer(int stdoutRead)
{
    const OutputBuffer buffer = ReadAllOutput(stdoutRead);
    if (!buffer)
        throw NoAnswerText();
    return std::string(buffer.get());
}

// Keeps the whole answer; one that does not end in "</html>\n" is refused the way the page
// parser refuses it, a complete one gets the status "OK".
struct RecordingResponse final : ScoutResponse
{
    void Parse(int stdoutRead) override
    {
        text = readAnswer(stdoutRead);
        parsed = true;
        if (!text.ends_with("</html>\n"))
            throw CXMLException("incomplete page of " + std::to_string(text.size()) + " bytes");
        status = "OK";
    }
    std::string text;
    bool parsed = false;
};

// Reads the answer, then throws what the test gives it.
struct ThrowingResponse final : ScoutResponse
{
    explicit ThrowingResponse(std::function<void()> raise) : raise(std::move(raise)) {}
    void Parse(int stdoutRead) override
    {
        readAnswer(stdoutRead);
        raise();
    }
    std::function<void()> raise;
};

// Collects the lParam of every completion message that reaches it.
struct CompletionReceiver final : QObject
{
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::Type(MOLBSCOUTPANE_MARKUP_DONE))
            return QObject::event(event);
        done.push_back(static_cast<MessageEvent*>(event)->lParam);
        return true;
    }
    // Runs the event loop until count messages in all have arrived, or for ms when count is 0;
    // the limit only guards against a hang.
    bool waitFor(size_t count, int ms = 60000)
    {
        QDeadlineTimer deadline(ms);
        while ((count == 0 || done.size() < count) && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        return done.size() >= count;
    }
    std::vector<intptr_t> done;
};

RecordingResponse& recorded(const CScoutRequest& job)
{
    return static_cast<RecordingResponse&>(*job.response());
}

// An event loop, a private store, SIGPIPE left deadly (a SIGPIPE would end the test), and no
// child process left behind by any test.
class JobTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureCoreApplication("request_job_test");
        std::signal(SIGPIPE, SIG_DFL);
    }
    void TearDown() override { EXPECT_TRUE(childProcesses().empty()); }

    // A job on the test handler with url as its argument text.
    std::unique_ptr<CScoutRequest> handlerJob(const std::string& url,
                                              std::unique_ptr<ScoutResponse> response = nullptr,
                                              const std::string* body = nullptr)
    {
        if (!response)
            response = std::make_unique<RecordingResponse>();
        return std::make_unique<CScoutRequest>(std::move(response), &m_receiver, testHandlerPath(),
                                               url, body ? body->data() : nullptr,
                                               body ? uint32_t(body->size()) : 0);
    }

    // Starts the job and waits for its completion message, which must carry its address.
    void runToCompletion(CScoutRequest& job)
    {
        const size_t before = m_receiver.done.size();
        job.Start();
        ASSERT_TRUE(m_receiver.waitFor(before + 1));
        EXPECT_EQ(m_receiver.done.back(), intptr_t(&job));
    }

    TestEnv m_env;
    CompletionReceiver m_receiver;
};

} // namespace

TEST_F(JobTest, handlerAnswersWithItsPageAndGetsTheArgumentTextAsItsOneArgument)
{
    const std::string record = m_env.file("answer");
    // Blanks, tabs and quotes are ordinary characters of the one argument.
    const std::string arguments =
        " \"a  b\"\tc  molb://local/db/MAIN?page=20&comment=x \t  y&record=" + record;
    auto job = handlerJob(arguments);
    runToCompletion(*job);
    EXPECT_EQ(job->errorText(), "");
    EXPECT_EQ(job->response()->status, "OK");
    EXPECT_EQ(recorded(*job).text, fileContent(DBSCOUT_FIXTURE_DIR "/result.xhtml"));
    EXPECT_EQ(fileContent(record + ".args"), testHandlerPath() + "\n" + arguments + "\n");
    EXPECT_EQ(fileContent(record + ".stdin"), ""); // a body of 0 bytes closes the input at once

    // Empty argument text: the handler is started without any argument.
    qputenv("DBSCOUT_TEST_HANDLER_RECORD", QByteArray::fromStdString(record + "-none"));
    auto bare = handlerJob("");
    runToCompletion(*bare);
    qunsetenv("DBSCOUT_TEST_HANDLER_RECORD");
    EXPECT_EQ(fileContent(record + "-none.args"), testHandlerPath() + "\n");
}

TEST_F(JobTest, handlerHoldsOnlyItsOwnPipeEndsAndStandardErrorOnDevNull)
{
    const std::string record = m_env.file("other");
    auto other = handlerJob("testmode=hang&record=" + record);
    other->Start();
    ASSERT_TRUE(waitForFile(record + ".args"));
    // As a host may leave one: open and inheritable.
    const int hostFile = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(hostFile, 3);
    auto job = handlerJob("testmode=fds");
    runToCompletion(*job);
    ::close(hostFile);
    EXPECT_TRUE(std::regex_match(recorded(*job).text,
                                 std::regex("0 pipe:\\[(\\d+)\\]\n1 pipe:\\[(?!\\1\\])\\d+\\]\n"
                                            "2 /dev/null\n")))
        << recorded(*job).text;
    other->Stop();
    ASSERT_TRUE(m_receiver.waitFor(2));
}

TEST_F(JobTest, handlerThatCannotBeStartedFailsWithCannotExecute)
{
    const int descriptors = openDescriptorCount();
    for (const std::string program : {"/nonexistent/handler", "", "/"}) {
        CScoutRequest job(std::make_unique<RecordingResponse>(), &m_receiver, program, "molb://h/d",
                          nullptr, 0);
        runToCompletion(job);
        EXPECT_EQ(job.errorText(), "MOLB protocol error: cannot execute protocol!") << program;
        EXPECT_EQ(job.response()->status, "ERROR");
        EXPECT_FALSE(recorded(job).parsed);
    }
    EXPECT_EQ(openDescriptorCount(), descriptors);
}

TEST_F(JobTest, everyFailureOfTheParserBecomesErrorTextAndStatus)
{
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { throw CXMLException("Element body is missing."); },
         "XML parser error: Element body is missing."},
        {[] { throw std::bad_alloc(); }, "MOLB protocol error: std::bad_alloc"},
        {[] { throw NoAnswerText(); }, "Unknown error"},
        {[] { throw 42; }, "Unknown error"},
    };
    for (const auto& [raise, errorText] : cases) {
        auto job = handlerJob("molb://h/d", std::make_unique<ThrowingResponse>(raise));
        runToCompletion(*job);
        EXPECT_EQ(job->errorText(), errorText);
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
        auto job = handlerJob(url);
        runToCompletion(*job);
        EXPECT_EQ(recorded(*job).text, received) << url;
        EXPECT_EQ(job->errorText(), "XML parser error: incomplete page of " +
                                        std::to_string(received.size()) + " bytes");
        EXPECT_EQ(job->response()->status, "ERROR");
    }
}

TEST_F(JobTest, stoppingOrDeletingARunningJobKillsItsHandlerAndTheMessageStillArrives)
{
    for (const std::string mode : {"hang", "hang-with-child", "delete"}) {
        const std::string record = m_env.file(mode);
        auto job =
            handlerJob("testmode=" + (mode == "delete" ? "hang" : mode) + "&record=" + record);
        const intptr_t address = intptr_t(job.get());
        const size_t before = m_receiver.done.size();
        job->Start();
        ASSERT_TRUE(waitForFile(record + ".args")); // the handler has its input and waits
        if (mode == "delete") {
            job.reset(); // the run posts before it lets the destructor go on
        } else {
            job->Stop();
            job->Stop(); // harmless twice
        }
        ASSERT_TRUE(m_receiver.waitFor(before + 1));
        EXPECT_EQ(m_receiver.done.back(), address);
        if (job) {
            EXPECT_EQ(job->response()->status, "ERROR");
            EXPECT_EQ(job->errorText(), "XML parser error: incomplete page of 0 bytes");
            job.reset();
        }
        EXPECT_TRUE(childProcesses().empty()) << mode;
    }
}

TEST_F(JobTest, jobStoppedBeforeItsThreadRunsPostsNothing)
{
    const std::string record = m_env.file("never");
    for (int i = 0; i < 100; ++i) {
        auto job = handlerJob("molb://h/d?record=" + record);
        job->Stop();
        job->Start();
        if (i % 2)
            job.reset(); // deleted while its thread may not have run yet
    }
    handlerJob("molb://h/d")->Stop(); // never started, deleted at once

    auto last = handlerJob("molb://h/d");
    runToCompletion(*last);
    m_receiver.waitFor(0, 200);
    EXPECT_EQ(m_receiver.done, std::vector<intptr_t>{intptr_t(last.get())});
    EXPECT_FALSE(waitForFile(record + ".args", 0)); // no handler ever ran
}

TEST_F(JobTest, handlerLingeringAfterItsAnswerDoesNotDelayTheMessage)
{
    auto job = handlerJob("molb://h/d?testmode=linger");
    runToCompletion(*job);
    EXPECT_EQ(job->response()->status, "OK");
    EXPECT_FALSE(childProcesses().empty()); // still lingering, for a minute
    job.reset();                            // ends it
    EXPECT_TRUE(childProcesses().empty());
}

TEST_F(JobTest, answersOfAnySizeArriveWhole)
{
    for (size_t size : {size_t(0), size_t(0x100001), size_t(BIG_ANSWER_MIB) << 20}) {
        auto job = handlerJob("testmode=bytes:" + std::to_string(size));
        runToCompletion(*job);
        EXPECT_EQ(recorded(*job).text.size(), size);
        EXPECT_TRUE(recorded(*job).text == handlerPattern(size)) << size;
    }
}

TEST_F(JobTest, largeBodyIsReadFullyAndOneNeverReadLeavesTheHostAlive)
{
    std::string body((size_t(BIG_ANSWER_MIB) << 20) / 5, '\0');
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = char(1 + i * 31 % 253); // no NUL: the answer is read as text
    auto echo = handlerJob("testmode=echo", nullptr, &body);
    runToCompletion(*echo);
    EXPECT_TRUE(recorded(*echo).text == body);
    for (int i = 0; i < 5; ++i) { // SIGPIPE is left deadly: writing must not raise it
        auto job = handlerJob("testmode=exit-at-once", nullptr, &body);
        runToCompletion(*job);
        EXPECT_EQ(job->response()->status, "ERROR");
    }
}

// Every handler waits for the end of its input before it answers and then lives on. A handler
// that had inherited another job's input end would keep that job's handler from ever seeing
// the end of its input, and that job would never finish.
TEST_F(JobTest, jobsSpawningAtOnceEachCloseOnlyTheirOwnInput)
{
    std::vector<std::unique_ptr<CScoutRequest>> jobs;
    for (int i = 0; i < 16; ++i)
        jobs.push_back(handlerJob("testmode=linger"));
    for (auto& job : jobs)
        job->Start();
    ASSERT_TRUE(m_receiver.waitFor(jobs.size()));
    for (auto& job : jobs)
        EXPECT_EQ(job->response()->status, "OK");
    jobs.clear();
}

TEST_F(JobTest, manyJobsInARowLeaveNoProcessNorDescriptor)
{
    const int descriptors = openDescriptorCount();
    for (int i = 0; i < JOBS_IN_A_ROW; ++i) {
        auto job = handlerJob(i % 10 == 9 ? "testmode=crash" : "molb://h/d");
        runToCompletion(*job);
        ASSERT_EQ(job->response()->status, i % 10 == 9 ? "ERROR" : "OK") << i;
    }
    EXPECT_TRUE(childProcesses().empty());
    EXPECT_EQ(openDescriptorCount(), descriptors);
}
