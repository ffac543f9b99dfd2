#include "import/importer.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace Dbscout::Molb {
namespace {

bool isGzip(std::string_view bytes)
{
    return bytes.size() >= 2 && bytes[0] == '\x1f' && bytes[1] == '\x8b';
}

Status unreadable(const std::string& path, const std::string& why)
{
    return Status::fail(ErrorCode::BadRequest, "Cannot read " + path + ": " + why);
}

// Inflates one gzip layer of input into out: every member of a multi-member stream (as bgzip
// writes) in turn; bytes after the last member that start no other are ignored, as gzip does.
Status inflateLayer(const std::string& path, std::string_view input, size_t limit, std::string& out)
{
    out.clear();
    z_stream stream = {};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return Status::fail(ErrorCode::Failure, "Cannot start decompressing " + path);
    std::unique_ptr<z_stream, int (*)(z_stream*)> ending(&stream, inflateEnd);
    size_t given = 0; // input handed to zlib so far; its avail_in is only 32 bits wide
    char buffer[1 << 16];
    while (true) {
        if (stream.avail_in == 0 && given < input.size()) {
            const size_t chunk = std::min<size_t>(input.size() - given, 1u << 30);
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data() + given));
            stream.avail_in = static_cast<uInt>(chunk);
            given += chunk;
        }
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        const int code = inflate(&stream, Z_NO_FLUSH);
        if (code == Z_BUF_ERROR)
            return unreadable(path, "the compressed data ends early");
        if (code != Z_OK && code != Z_STREAM_END)
            return unreadable(path, stream.msg ? std::string("the compressed data is damaged (") +
                                                     stream.msg + ")"
                                               : "the compressed data is damaged");
        out.append(buffer, sizeof buffer - stream.avail_out);
        if (out.size() > limit)
            return unreadable(path, "it inflates to more than " + std::to_string(limit) +
                                        " bytes, far more than record files inflate from its "
                                        "size; decompress it first if it is genuine");
        const size_t rest = given - stream.avail_in; // where the input not yet used starts
        if (code == Z_STREAM_END) {
            if (!isGzip(input.substr(rest)))
                return Status::pass();
            inflateReset(&stream);
        } else if (rest == input.size() && stream.avail_out != 0) {
            return unreadable(path, "the compressed data ends early");
        }
    }
}

} // namespace

Status readRecordFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Status::fail(ErrorCode::NotFound,
                            "Cannot open " + path + ": " + std::strerror(errno));
    struct stat info = {};
    if (::fstat(fd, &info) == 0 && info.st_size > 0)
        bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[1 << 16];
    ssize_t count = 0;
    while ((count = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            break;
        bytes.append(buffer, static_cast<size_t>(count));
    }
    const int error = errno;
    ::close(fd);
    if (count < 0)
        return unreadable(path, std::strerror(error));
    return inflateRecordBytes(path, bytes);
}

Status inflateRecordBytes(const std::string& path, std::string& bytes, const InflateLimits& limits)
{
    // A small file may not inflate into more memory than the machine has, nor nest without end.
    const size_t limit =
        std::max(limits.floorBytes,
                 bytes.size() > SIZE_MAX / limits.ratio ? SIZE_MAX : bytes.size() * limits.ratio);
    std::string inflated;
    for (int layer = 0; isGzip(bytes); ++layer) {
        if (layer == limits.layers)
            return unreadable(path, "it is compressed more than " + std::to_string(limits.layers) +
                                        " times over");
        if (Status status = inflateLayer(path, bytes, limit, inflated); !status.ok())
            return status;
        bytes.swap(inflated);
    }
    return Status::pass();
}

} // namespace Dbscout::Molb
