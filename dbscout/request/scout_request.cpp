#include "request/scout_request.h"

#include "document/scout_response.h"
#include "document/xml_exception.h"
#include "platform/registered_messages.h"
#include "resources/strings.h"

#include <exception>
#include <thread>
#include <unistd.h>

namespace Dbscout {

namespace {
const char* const kCannotExecute = "MOLB protocol error: cannot execute protocol!";
const char* const kPipeError = "MOLB protocol error: Pipe error!";
const char* const kProtocolErrorPrefix = "MOLB protocol error: ";
const char* const kXmlErrorPrefix = "XML parser error: ";
const char* const kErrorStatus = "ERROR";
} // namespace

struct CScoutRequest::Control
{
    std::mutex lock;              // held by the worker for its whole run
    CScoutRequest* job = nullptr; // null once the job is being deleted
};

CScoutRequest::CScoutRequest(std::unique_ptr<ScoutResponse> response, QObject* window, std::string program,
                             std::string arguments, const char* body, uint32_t bodyLength)
    : m_response(std::move(response)), m_program(std::move(program)), m_arguments(std::move(arguments)),
      m_body(body), m_bodyLength(bodyLength), m_window(window),
      m_control(std::make_shared<Control>())
{
    m_control->job = this;
}

CScoutRequest::~CScoutRequest()
{
    Stop();
    std::lock_guard lock(m_control->lock);
    m_control->job = nullptr;
    closeEnds();
}

void CScoutRequest::Start()
{
    if (m_started)
        return;
    m_started = true;
    try {
        std::thread(threadMain, m_control).detach();
    } catch (const std::exception& e) {
        // No worker: fail here, on the owner's thread, unless the job was already stopped.
        if (m_cancelled)
            return;
        m_errorText = std::string(kProtocolErrorPrefix) + e.what();
        m_response->status = kErrorStatus;
        m_finished.store(true, std::memory_order_release);
        PostMessageA(m_window, MOLBSCOUTPANE_MARKUP_DONE, 0, LPARAM(this));
    }
}

void CScoutRequest::Stop()
{
    m_cancelled = true;
    m_process.terminate();
}

ScoutResponse* CScoutRequest::response() const
{
    m_finished.load(std::memory_order_acquire);
    return m_response.get();
}

const std::string& CScoutRequest::errorText() const
{
    m_finished.load(std::memory_order_acquire);
    return m_errorText;
}

void CScoutRequest::threadMain(const std::shared_ptr<Control>& control)
{
    std::lock_guard lock(control->lock);
    CScoutRequest* job = control->job;
    if (!job || job->m_cancelled)
        return; // stopped before it ran: nothing is posted
    job->run();
}

void CScoutRequest::run()
{
    Outcome outcome = Outcome::Failed;
    try {
        outcome = execute();
    } catch (const CXMLException& e) {
        m_errorText = kXmlErrorPrefix + e.message();
    } catch (const NoAnswerText&) {
        // A failed read: the generic text below.
    } catch (const std::exception& e) {
        m_errorText = std::string(kProtocolErrorPrefix) + e.what();
    } catch (...) {
    }
    finish(outcome);
    // Reaped after the post, so that a handler lingering after its answer delays nobody; the
    // owner's delete kills it first and then waits here.
    m_process.reap();
}

CScoutRequest::Outcome CScoutRequest::execute()
{
    if (m_cancelled)
        return Outcome::Cancelled;
    const pid_t pid = SpawnHandler(m_program, m_arguments, m_stdinWrite, m_stdoutRead);
    if (pid < 0) {
        m_errorText = kCannotExecute;
        return Outcome::Failed;
    }
    if (pid == 0) {
        // No pipes: a job stopped meanwhile is still only cancelled.
        if (m_cancelled)
            return Outcome::Cancelled;
        m_errorText = kPipeError;
        return Outcome::Failed;
    }
    if (!m_process.adopt(pid) || m_cancelled)
        return Outcome::Cancelled;

    if (m_bodyLength > 0 && m_body)
        writeHandlerInput(m_stdinWrite, m_body, m_bodyLength);
    ::close(m_stdinWrite);
    m_stdinWrite = kNoHandle; // the handler sees the end of its input

    m_response->Parse(m_stdoutRead);
    return Outcome::Done;
}

void CScoutRequest::finish(Outcome outcome)
{
    if (outcome != Outcome::Done) {
        if (outcome == Outcome::Failed && m_errorText.empty())
            m_errorText = LoadString(IDS_UNKNOWN_ERROR);
        m_response->status = kErrorStatus;
    }
    closeEnds();
    m_finished.store(true, std::memory_order_release);
    PostMessageA(m_window, MOLBSCOUTPANE_MARKUP_DONE, 0, LPARAM(this));
}

void CScoutRequest::closeEnds()
{
    for (int* end : {&m_stdinWrite, &m_stdoutRead}) {
        if (*end != kNoHandle)
            ::close(*end);
        *end = kNoHandle;
    }
}

} // namespace Dbscout
