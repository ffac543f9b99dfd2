#include "process_support.h"

#include <QCoreApplication>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace DbscoutTest {

std::vector<pid_t> childProcesses()
{
    std::vector<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (!std::isdigit(static_cast<unsigned char>(name[0])))
            continue;
        const std::string stat = fileContent("/proc/" + name + "/stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(close + 1));
        char state = 0;
        pid_t parent = 0;
        if (fields >> state >> parent && parent == ::getpid())
            children.push_back(pid_t(std::stol(name)));
    }
    return children;
}

int openDescriptorCount()
{
    int count = -1; // the listing's own descriptor
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

std::string fileContent(const std::string& path)
{
    // Streamed whole, so that a failing read (a /proc entry of a process that is just ending
    // gives ESRCH) ends the text instead of throwing.
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in)
        text << in.rdbuf();
    return text.str();
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

void ensureCoreApplication(const char* program)
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static std::string name = program;
    static char* argv[] = {name.data(), nullptr};
    new QCoreApplication(argc, argv);
}

} // namespace DbscoutTest
