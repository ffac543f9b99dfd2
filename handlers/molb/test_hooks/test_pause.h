#pragma once
// A hook for crash tests: when DBSCOUT_MOLB_TEST_PAUSE names stage, the process says so on
// standard error and waits there until it is killed, so a test can kill it at that exact point
// (inside a transaction) instead of guessing a moment. "STAGE:throw" makes the process throw
// there instead, as a fault of the program would, so that a test sees it answered. Only builds
// with the tests have the hook (DBSCOUT_TEST_HOOKS); in the others it is nothing.

#include <functional>
#include <string>

namespace Dbscout::Molb {

#ifdef DBSCOUT_TEST_HOOKS
void pauseForTest(const char* stage);
#else
inline void pauseForTest(const char*) {}
#endif

// The connection agent serves a request on a thread for a handler elsewhere: the stage comes
// from that handler's environment, the word goes to its standard error, and the wait lasts until
// the handler is gone (the agent has cut the request's connections by then).
struct RequestPause
{
    std::string stage;
    int errorFd = -1;
    std::function<void()> waitUntilGone;
};
// For the calling thread only; nullptr returns it to the process's own setting.
#ifdef DBSCOUT_TEST_HOOKS
void setRequestPause(const RequestPause* pause);
#else
inline void setRequestPause(const RequestPause*) {}
#endif

} // namespace Dbscout::Molb
