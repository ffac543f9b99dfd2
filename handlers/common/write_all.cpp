#include "write_all.h"

#include <cerrno>
#include <unistd.h>

namespace Dbscout::Handlers {

bool writeAll(int fd, const char* data, size_t length)
{
    while (length > 0) {
        const ssize_t count = ::write(fd, data, length);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        data += count;
        length -= static_cast<size_t>(count);
    }
    return true;
}

bool writeAll(int fd, const std::string& text)
{
    return writeAll(fd, text.data(), text.size());
}

} // namespace Dbscout::Handlers
