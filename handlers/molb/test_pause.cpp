#include "test_pause.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace Dbscout::Molb {

void pauseForTest(const char* stage)
{
    const char* wanted = std::getenv("DBSCOUT_MOLB_TEST_PAUSE");
    if (!wanted || std::strcmp(wanted, stage) != 0)
        return;
    std::fprintf(stderr, "paused at %s\n", stage);
    std::fflush(stderr);
    while (true)
        ::pause();
}

} // namespace Dbscout::Molb
