#pragma once
// One request job: runs a handler program on a worker thread of its own, feeds it the request
// body, lets the response parse its answer, and tells the owner by posting
// MOLBSCOUTPANE_MARKUP_DONE (wParam 0, lParam the job's address) to the receiver.
//
// Owner's part, all on the receiver's thread: construct, Start, optionally Stop, and delete the
// job after its completion message (or when the owner goes away). A job whose worker got going
// posts exactly once, whatever happens, also when stopped; a job stopped before that posts
// nothing. The response and errorText() are read only after the message. Messages carrying the
// address of a job the owner no longer holds must be ignored.

#include "platform/process.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

class QObject;

namespace Dbscout {

class ScoutResponse;

class CScoutRequest final
{
public:
    // response is the page the handler's answer fills (never null). body (bodyLength bytes, may
    // be null) is not copied and must outlive the run. Starts nothing.
    CScoutRequest(std::unique_ptr<ScoutResponse> response, QObject* window, std::string program,
                  std::string arguments, const char* body, uint32_t bodyLength);
    CScoutRequest(const CScoutRequest&) = delete;
    CScoutRequest& operator=(const CScoutRequest&) = delete;
    // Ends a handler that still runs, then waits for a run in progress (and its post) to end.
    // Does not wait for a job that was stopped before its worker got going.
    ~CScoutRequest();

    // Starts the worker thread. When no thread can be started, the job fails at once with
    // "MOLB protocol error: " and the reason, and the completion message is posted from here,
    // so that the owner still gets one for every job it started. Once only.
    void Start();
    // Marks the job cancelled and kills its handler (SIGKILL to the handler's process group);
    // the worker reaps it. Never waits; safe at any time and more than once.
    void Stop();

    ScoutResponse* response() const;
    // The last failure's text; empty on success and for a cancelled job.
    const std::string& errorText() const;

private:
    struct Control;
    enum class Outcome { Done, Failed, Cancelled };

    static void threadMain(const std::shared_ptr<Control>& control);
    void run();
    Outcome execute();
    void finish(Outcome outcome);
    void closeEnds();

    std::unique_ptr<ScoutResponse> m_response;
    const std::string m_program;
    const std::string m_arguments;
    const char* const m_body;
    const uint32_t m_bodyLength;
    QObject* const m_window;
    int m_stdinWrite = kNoHandle;
    int m_stdoutRead = kNoHandle;
    HandlerProcess m_process;
    std::atomic<bool> m_cancelled = false;
    std::string m_errorText;
    // Set by the worker before it posts; the owner's accessors read it to see the run's writes.
    std::atomic<bool> m_finished = false;
    bool m_started = false;
    // The run lock, shared with the worker thread so that a thread that gets going after the
    // job was deleted finds it gone instead of touching freed memory.
    std::shared_ptr<Control> m_control;
};

} // namespace Dbscout
