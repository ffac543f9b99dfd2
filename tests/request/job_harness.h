#pragma once
// What the request job tests need around a job: responses that keep what they read, a receiver
// of completion messages in a real event loop, and jobs on the test handler.

#include "document/scout_response.h"
#include "request/scout_request.h"
#include "support/test_env.h"

#include <QObject>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace DbscoutTest {

// Keeps the whole answer; one that does not end in "</html>\n" is refused with CXMLException the
// way the page parser refuses it, a complete one gets the status "OK".
class RecordingResponse final : public Dbscout::ScoutResponse
{
public:
    void Parse(int stdoutRead) override;
    std::string text;
    bool parsed = false;
};

// Reads the answer, then throws what the test gives it.
class ThrowingResponse final : public Dbscout::ScoutResponse
{
public:
    explicit ThrowingResponse(std::function<void()> raise) : m_raise(std::move(raise)) {}
    void Parse(int stdoutRead) override;

private:
    std::function<void()> m_raise;
};

// Collects the lParam of every MOLBSCOUTPANE_MARKUP_DONE that reaches it.
class CompletionReceiver final : public QObject
{
public:
    bool event(QEvent* event) override;
    // Runs the event loop until count messages in all have arrived; the limit only guards
    // against a hang.
    bool waitFor(size_t count, int limitMs = 60000);
    void drain(int ms); // runs the event loop a while, to let stray messages arrive
    std::vector<intptr_t> done;
};

// A job on the test handler with url as its argument text.
std::unique_ptr<Dbscout::CScoutRequest> handlerJob(CompletionReceiver& receiver,
                                                   const std::string& url,
                                                   Dbscout::ScoutResponse* response = nullptr,
                                                   const char* body = nullptr,
                                                   uint32_t bodyLength = 0);

RecordingResponse& recorded(const Dbscout::CScoutRequest& job);

// An event loop, a private store, SIGPIPE left deadly (a SIGPIPE would end the test), and no
// child process left behind by any test.
class JobTestBase : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the job and waits for its completion message, which must carry its address.
    void runToCompletion(Dbscout::CScoutRequest& job);

    TestEnv m_env;
    CompletionReceiver m_receiver;
};

} // namespace DbscoutTest
