#include "support/turkish_locale.h"

#include <QByteArray>

#include <clocale>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace DbscoutTest {

namespace {

constexpr const char* kName = "tr_TR.ISO-8859-9";

// localedef -i tr_TR -f ISO-8859-9 FOLDER/NAME; posix_spawn, as the thread sanitizer refuses a
// fork in a process with threads.
bool compileLocale(const std::string& folder)
{
    const std::string target = folder + "/" + kName;
    const char* argv[] = {"localedef", "-i", "tr_TR", "-f", "ISO-8859-9", target.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "localedef", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TurkishLocale::TurkishLocale(const std::string& folder)
{
    m_previous = std::setlocale(LC_CTYPE, nullptr);
    if (!compileLocale(folder))
        return;
    qputenv("LOCPATH", QByteArray::fromStdString(folder));
    m_active = std::setlocale(LC_CTYPE, kName) != nullptr;
}

TurkishLocale::~TurkishLocale()
{
    std::setlocale(LC_CTYPE, m_previous.c_str());
    qunsetenv("LOCPATH");
}

} // namespace DbscoutTest
