#include "rate_limit.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace Dbscout::Ncbi {
namespace {

// A second and a little more between a request and the one that many places after it: the
// requests' own travel (connection, scheduling) must not let two of them into one second at
// NCBI's end.
constexpr double kWindowSeconds = 1.15;
// No queue of waiting handlers reaches this far ahead.
constexpr double kForgetSeconds = 600;

double now()
{
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

void sleepUntil(double moment)
{
    for (double left = moment - now(); left > 0; left = moment - now()) {
        timespec pause{};
        pause.tv_sec = static_cast<time_t>(left);
        pause.tv_nsec = static_cast<long>((left - static_cast<double>(pause.tv_sec)) * 1e9);
        nanosleep(&pause, nullptr);
    }
}

bool readWhole(int fd, std::vector<double>& slots)
{
    const ssize_t bytes = pread(fd, slots.data(), slots.size() * sizeof(double), 0);
    if (bytes < 0)
        return false;
    // A short or new file: the missing slots are free.
    std::fill(slots.begin() + bytes / static_cast<ssize_t>(sizeof(double)), slots.end(), 0.0);
    return true;
}

} // namespace

RateLimit::RateLimit(std::string path, int perSecond)
    : m_path(std::move(path)), m_perSecond(std::max(1, perSecond))
{}

void RateLimit::acquire()
{
    const int fd = open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 || flock(fd, LOCK_EX) != 0) {
        if (fd >= 0)
            close(fd);
        const double moment = std::max(now(), m_lastHere + kWindowSeconds / m_perSecond);
        m_lastHere = moment;
        sleepUntil(moment);
        return;
    }
    // The slots hold the moments of the last requests, oldest first; the new request goes a
    // window after the oldest of them. Moments from before a restart of the clock (a reboot)
    // lie far in the future and are forgotten; moments a few seconds ahead are other handlers'
    // places in the queue.
    std::vector<double> slots(static_cast<size_t>(m_perSecond));
    const double start = now();
    if (!readWhole(fd, slots))
        slots.assign(slots.size(), 0.0);
    for (double& slot : slots) {
        if (slot > start + kForgetSeconds || slot != slot)
            slot = 0;
    }
    std::sort(slots.begin(), slots.end());
    const double moment = std::max(start, slots.front() + kWindowSeconds);
    slots.front() = moment;
    std::sort(slots.begin(), slots.end());
    static_cast<void>(pwrite(fd, slots.data(), slots.size() * sizeof(double), 0));
    flock(fd, LOCK_UN);
    close(fd);
    sleepUntil(moment);
}

} // namespace Dbscout::Ncbi
