#include "job_harness.h"

#include "document/xml_exception.h"
#include "platform/process.h"
#include "platform/registered_messages.h"
#include "process_support.h"
#include "support/handler_registration.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <csignal>
#include <cstdlib>

namespace DbscoutTest {

namespace {
std::string readAnswer(int stdoutRead)
{
    char* buffer = Dbscout::ReadAllOutput(stdoutRead);
    if (!buffer)
        throw Dbscout::NoAnswerText();
    std::string text(buffer);
    std::free(buffer);
    return text;
}

} // namespace

void RecordingResponse::Parse(int stdoutRead)
{
    text = readAnswer(stdoutRead);
    parsed = true;
    if (!text.ends_with("</html>\n"))
        throw Dbscout::CXMLException("incomplete page of " + std::to_string(text.size()) +
                                     " bytes");
    status = "OK";
}

void ThrowingResponse::Parse(int stdoutRead)
{
    readAnswer(stdoutRead);
    m_raise();
}

bool CompletionReceiver::event(QEvent* event)
{
    if (event->type() != QEvent::Type(MOLBSCOUTPANE_MARKUP_DONE))
        return QObject::event(event);
    done.push_back(static_cast<Dbscout::MessageEvent*>(event)->lParam);
    return true;
}

bool CompletionReceiver::waitFor(size_t count, int limitMs)
{
    QDeadlineTimer deadline(limitMs);
    while (done.size() < count && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done.size() >= count;
}

void CompletionReceiver::drain(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}

std::unique_ptr<Dbscout::CScoutRequest> handlerJob(CompletionReceiver& receiver,
                                                   const std::string& url,
                                                   Dbscout::ScoutResponse* response,
                                                   const char* body, uint32_t bodyLength)
{
    return std::make_unique<Dbscout::CScoutRequest>(response ? response : new RecordingResponse,
                                                    &receiver, testHandlerPath(), url, body,
                                                    bodyLength);
}

RecordingResponse& recorded(const Dbscout::CScoutRequest& job)
{
    return static_cast<RecordingResponse&>(*job.response());
}

void JobTestBase::SetUp()
{
    static int argc = 1;
    static char name[] = "request_job_test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    std::signal(SIGPIPE, SIG_DFL);
}

void JobTestBase::TearDown()
{
    EXPECT_TRUE(childProcesses().empty());
}

void JobTestBase::runToCompletion(Dbscout::CScoutRequest& job)
{
    const size_t before = m_receiver.done.size();
    job.Start();
    ASSERT_TRUE(m_receiver.waitFor(before + 1));
    EXPECT_EQ(m_receiver.done.back(), intptr_t(&job));
}

} // namespace DbscoutTest
