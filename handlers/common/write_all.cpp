#include "write_all.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace Dbscout::Handlers {
namespace {

// send() is write() that spares the process a SIGPIPE, on sockets only; socket turns false at
// the first file that is none.
ssize_t writeSome(int fd, const char* data, size_t length, bool& socket)
{
    if (socket) {
        const ssize_t count = ::send(fd, data, length, MSG_NOSIGNAL);
        if (count >= 0 || errno != ENOTSOCK)
            return count;
        socket = false;
    }
    return ::write(fd, data, length);
}

} // namespace

bool writeAll(int fd, const char* data, size_t length)
{
    bool socket = true;
    while (length > 0) {
        const ssize_t count = writeSome(fd, data, length, socket);
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
