// The handler program of the tests. It is started like a real handler (the request URL as its one
// argument, the body on standard input) and does what the URL's parameters ask:
//   fixture=NAME     answer with tests/fixtures/pages/NAME.xhtml (default: result)
//   record=PATH      write argv (one per line) to PATH.args and standard input to PATH.stdin,
//                    after the input has ended
//   testmode=MODE    sleep:MS   wait MS milliseconds, then answer
//                    hang       read the input, then wait forever with the output open
//                    hang-with-child  as hang, with a child of its own holding the output too
//                    crash      read the input, then abort without output
//                    exit-at-once     exit without reading or writing anything
//                    bytes:N    read the input, then write exactly N bytes
//                    echo       write back what came on standard input
//                    die-halfway      write half of the page, then die by SIGKILL
//                    linger     answer, close the output, then stay alive for a minute
//                    fds        answer with one line per open descriptor: number and target
//   slow-subsets=MS  wait MS milliseconds before answering a subset-list request (one
//                    without start=), so that it arrives after the object page
//   slow-listing=MS  wait MS milliseconds before answering a listing (one with start=)
//   listing-page=NAME  answer a listing (one with start=) with NAME instead, so that a listing
//                    can fail while its subset list answers
// The environment variable DBSCOUT_TEST_HANDLER_RECORD stands in for record= when set, and
// DBSCOUT_TEST_HANDLER_LOG names a file to which every call appends its argument line.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

std::string param(const std::string& url, const std::string& key)
{
    const size_t at = url.find(key);
    if (at == std::string::npos)
        return {};
    const size_t start = at + key.size();
    return url.substr(start, url.find('&', start) - start);
}

std::string readAll(int fd)
{
    std::string data;
    char block[65536];
    for (;;) {
        const ssize_t count = ::read(fd, block, sizeof block);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return data;
        data.append(block, size_t(count));
    }
}

void writeAll(const char* data, size_t length)
{
    while (length > 0) {
        const ssize_t count = ::write(STDOUT_FILENO, data, length);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            std::_Exit(3);
        data += count;
        length -= size_t(count);
    }
}

void writeBytes(long long total)
{
    std::string block(1 << 20, '\0');
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = char('a' + i % 26);
    while (total > 0) {
        const size_t now = size_t(std::min<long long>(total, (long long)block.size()));
        writeAll(block.data(), now);
        total -= (long long)now;
    }
}

std::string fixture(const std::string& url)
{
    std::string name = url.find("start=") != std::string::npos ? param(url, "listing-page=") : "";
    if (name.empty())
        name = param(url, "fixture=");
    if (name.empty())
        name = "result";
    std::ifstream in(std::string(DBSCOUT_FIXTURE_DIR) + "/" + name + ".xhtml", std::ios::binary);
    if (!in)
        std::_Exit(4);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Appends the argument line to the log in one write, so that concurrent calls never mix.
void logCall(const char* path, const std::string& line)
{
    if (!path)
        return;
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const std::string entry = line + "\n";
    [[maybe_unused]] const ssize_t written = ::write(fd, entry.data(), entry.size());
    ::close(fd);
}

void record(const std::string& path, int argc, char** argv, const std::string& input)
{
    if (path.empty())
        return;
    std::ofstream args(path + ".args", std::ios::binary);
    for (int i = 0; i < argc; ++i)
        args << argv[i] << '\n';
    std::ofstream(path + ".stdin", std::ios::binary) << input;
}

std::string openDescriptors()
{
    std::string listing;
    for (int fd = 0; fd < 1024; ++fd) {
        char target[4096];
        const std::string link = "/proc/self/fd/" + std::to_string(fd);
        const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
        if (length >= 0)
            listing += std::to_string(fd) + " " + std::string(target, size_t(length)) + "\n";
    }
    return listing;
}

[[noreturn]] void waitForever()
{
    for (;;)
        ::pause();
}

} // namespace

int main(int argc, char** argv)
{
    const std::string url = argc > 1 ? argv[1] : "";
    logCall(std::getenv("DBSCOUT_TEST_HANDLER_LOG"), url);
    const std::string mode = param(url, "testmode=");
    if (mode == "exit-at-once")
        return 0;

    const std::string input = readAll(STDIN_FILENO);
    const char* recordEnv = std::getenv("DBSCOUT_TEST_HANDLER_RECORD");
    record(recordEnv ? recordEnv : param(url, "record="), argc, argv, input);

    const std::string slowSubsets = param(url, "slow-subsets=");
    if (!slowSubsets.empty() && url.find("start=") == std::string::npos)
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoll(slowSubsets.c_str())));
    const std::string slowListing = param(url, "slow-listing=");
    if (!slowListing.empty() && url.find("start=") != std::string::npos)
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoll(slowListing.c_str())));
    if (mode.rfind("sleep:", 0) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoll(mode.c_str() + 6)));
    if (mode == "hang")
        waitForever();
    if (mode == "hang-with-child") {
        if (::fork() == 0)
            waitForever();
        waitForever();
    }
    if (mode == "crash") {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        std::abort();
    }
    if (mode.rfind("bytes:", 0) == 0) {
        writeBytes(std::atoll(mode.c_str() + 6));
        return 0;
    }
    if (mode == "fds") {
        const std::string listing = openDescriptors();
        writeAll(listing.data(), listing.size());
        return 0;
    }
    if (mode == "echo") {
        writeAll(input.data(), input.size());
        return 0;
    }
    const std::string page = fixture(url);
    if (mode == "die-halfway") {
        writeAll(page.data(), page.size() / 2);
        ::raise(SIGKILL);
    }
    writeAll(page.data(), page.size());
    if (mode == "linger") {
        ::close(STDOUT_FILENO);
        std::this_thread::sleep_for(std::chrono::seconds(60));
    }
    return 0;
}
