#pragma once
// Answers leave a handler through a pipe that the panel may close at any time.

#include <cstddef>
#include <string>

namespace Dbscout::Handlers {

// Writes all of data to fd, going on after partial writes; false when the reader is gone.
bool writeAll(int fd, const char* data, size_t length);
bool writeAll(int fd, const std::string& text);

} // namespace Dbscout::Handlers
