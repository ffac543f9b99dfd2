#include "platform/process.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace Dbscout {

namespace {
constexpr size_t kBlock = 0x100000;
}

OutputBuffer ReadAllOutput(int stdoutRead)
{
    OutputBuffer buffer(static_cast<char*>(std::malloc(kBlock + 1)));
    if (!buffer)
        return nullptr;
    buffer[0] = '\0';
    size_t total = 0;
    for (;;) {
        ssize_t count = ::read(stdoutRead, buffer.get() + total, kBlock);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return buffer; // a broken or closed pipe ends the answer
        total += size_t(count);
        char* grown = static_cast<char*>(std::realloc(buffer.get(), total + kBlock + 1));
        if (!grown)
            return nullptr;     // the old buffer is freed by its owner
        (void)buffer.release(); // realloc took it over
        buffer.reset(grown);
        buffer[total] = '\0';
        if (count == 0)
            return buffer;
    }
}

} // namespace Dbscout
