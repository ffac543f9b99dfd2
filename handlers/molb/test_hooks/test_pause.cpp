#include "test_hooks/test_pause.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace Dbscout::Molb {
namespace {

thread_local const RequestPause* t_requestPause = nullptr;

// Whether setting names stage; a setting "STAGE:throw" throws there instead of pausing.
bool names(std::string_view setting, const char* stage)
{
    constexpr std::string_view kThrow = ":throw";
    if (setting.ends_with(kThrow)) {
        if (setting.substr(0, setting.size() - kThrow.size()) == stage)
            throw std::runtime_error(std::string("test fault at ") + stage);
        return false;
    }
    return setting == stage;
}

} // namespace

void setRequestPause(const RequestPause* pause)
{
    t_requestPause = pause;
}

void pauseForTest(const char* stage)
{
    if (const RequestPause* pause = t_requestPause) {
        if (!names(pause->stage, stage))
            return;
        const std::string said = std::string("paused at ") + stage + "\n";
        static_cast<void>(::write(pause->errorFd, said.data(), said.size()));
        pause->waitUntilGone();
        return;
    }
    const char* wanted = std::getenv("DBSCOUT_MOLB_TEST_PAUSE");
    if (!wanted || !names(wanted, stage))
        return;
    std::fprintf(stderr, "paused at %s\n", stage);
    std::fflush(stderr);
    while (true)
        ::pause();
}

} // namespace Dbscout::Molb
