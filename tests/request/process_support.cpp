#include "process_support.h"

#include <cctype>
#include <chrono>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace DbscoutTest {

namespace {
template <typename Visit> void forEachEntry(const char* folder, Visit visit)
{
    DIR* dir = ::opendir(folder);
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir))
        if (entry->d_name[0] != '.')
            visit(entry->d_name);
    ::closedir(dir);
}
} // namespace

std::vector<pid_t> childProcesses()
{
    std::vector<pid_t> children;
    const pid_t self = ::getpid();
    forEachEntry("/proc", [&](const char* name) {
        if (!std::isdigit(static_cast<unsigned char>(name[0])))
            return;
        const std::string stat = fileContent(std::string("/proc/") + name + "/stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos)
            return;
        std::istringstream fields(stat.substr(close + 1));
        char state = 0;
        pid_t parent = 0;
        fields >> state >> parent;
        if (parent == self)
            children.push_back(pid_t(std::stol(name)));
    });
    return children;
}

int openDescriptorCount()
{
    int count = -1; // the listing's own descriptor
    forEachEntry("/proc/self/fd", [&](const char*) { ++count; });
    return count;
}

std::string fileContent(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool waitForFile(const std::string& path, int limitMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (::access(path.c_str(), F_OK) != 0) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string handlerPattern(size_t length)
{
    std::string pattern(length, '\0');
    for (size_t i = 0; i < length; ++i)
        pattern[i] = char('a' + i % (1 << 20) % 26);
    return pattern;
}

} // namespace DbscoutTest
