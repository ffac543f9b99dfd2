#include "test_pause.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace Dbscout::Molb {
namespace {

thread_local const RequestPause* t_requestPause = nullptr;

} // namespace

void setRequestPause(const RequestPause* pause)
{
    t_requestPause = pause;
}

void pauseForTest(const char* stage)
{
    if (const RequestPause* pause = t_requestPause) {
        if (pause->stage != stage)
            return;
        const std::string said = std::string("paused at ") + stage + "\n";
        static_cast<void>(::write(pause->errorFd, said.data(), said.size()));
        pause->waitUntilGone();
        return;
    }
    const char* wanted = std::getenv("DBSCOUT_MOLB_TEST_PAUSE");
    if (!wanted || std::strcmp(wanted, stage) != 0)
        return;
    std::fprintf(stderr, "paused at %s\n", stage);
    std::fflush(stderr);
    while (true)
        ::pause();
}

} // namespace Dbscout::Molb
