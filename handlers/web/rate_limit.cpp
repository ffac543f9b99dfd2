#include "rate_limit.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace Dbscout::Web {
namespace {

// A second and a margin between a request's end and the next request of its slot, for the
// service's own way of counting its seconds.
constexpr double kWindowSeconds = 1.05;
// How soon a process that waits for requests on their way looks at their slots again.
constexpr double kLookAgainSeconds = 0.02;
// The file holds slots for the largest budget, so that handlers with different budgets (NCBI's
// with and without an API key) share it.
constexpr int kFileSlots = kMostRequestsPerSecond;
using Slots = std::array<RateLimit::Slot, kFileSlots>;
// Locked byte ranges (they need no bytes in the file): one for the whole file while a process
// reads or writes it, one for each slot while its request is on its way.
constexpr off_t kFileLock = 0;

off_t slotLock(int slot)
{
    return 1 + slot;
}

double now()
{
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

void pauseFor(double seconds)
{
    timespec pause{};
    pause.tv_sec = static_cast<time_t>(seconds);
    pause.tv_nsec = static_cast<long>((seconds - static_cast<double>(pause.tv_sec)) * 1e9);
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

// Locks of the open file, not of the process: the kernel drops them when the file is closed,
// also when its process dies.
bool lockRange(int fd, off_t start, short type, bool wait)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = 1;
    while (fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

bool lockedElsewhere(int fd, off_t start)
{
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = 1;
    return fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

// A short or new file: the missing slots are free.
bool readSlots(int fd, Slots& slots)
{
    slots = Slots{};
    return pread(fd, slots.data(), sizeof slots, 0) >= 0;
}

bool writeSlots(int fd, const Slots& slots)
{
    return pwrite(fd, slots.data(), sizeof slots, 0) == static_cast<ssize_t>(sizeof slots);
}

} // namespace

template <typename Going>
int RateLimit::pickSlot(Slot* slots, int count, double moment, Going going, double& wait)
{
    double soonest = std::numeric_limits<double>::infinity();
    bool unknown = false;
    for (int i = 0; i < count; ++i) {
        Slot& slot = slots[i];
        if (slot.onItsWay != 0) {
            if (going(i)) {
                unknown = true;
                continue;
            }
            // Its process died: its request, if it went at all, arrived by now.
            slot = {moment, 0};
        }
        // A time not yet come is damage, or from before the clock restarted (a reboot).
        if (!(slot.endedAt <= moment))
            slot.endedAt = moment;
        const double freeAt = slot.endedAt + kWindowSeconds;
        if (freeAt <= moment)
            return i;
        soonest = std::min(soonest, freeAt);
    }
    wait = std::min(soonest - moment, unknown ? kLookAgainSeconds : kWindowSeconds);
    return -1;
}

RateLimit::RateLimit(std::string path, int perSecond)
    : m_path(std::move(path)), m_perSecond(std::clamp(perSecond, 1, kFileSlots)), m_here(kFileSlots)
{}

RateLimit::~RateLimit()
{
    release();
}

RateLimit::Turn RateLimit::acquire()
{
    release();
    if (!takeShared())
        takeHere();
    return Turn(*this);
}

bool RateLimit::takeShared()
{
    if (m_path.empty())
        return false;
    const int fd =
        open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0)
        return false;
    struct stat info = {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return false;
    }
    for (;;) {
        Slots slots;
        if (!lockRange(fd, kFileLock, F_WRLCK, true) || !readSlots(fd, slots)) {
            close(fd);
            return false;
        }
        double wait = kLookAgainSeconds;
        const int slot = pickSlot(
            slots.data(), m_perSecond, now(),
            [fd](int i) { return lockedElsewhere(fd, slotLock(i)); }, wait);
        if (slot >= 0 && lockRange(fd, slotLock(slot), F_WRLCK, false)) {
            slots[static_cast<size_t>(slot)].onItsWay = 1;
            if (!writeSlots(fd, slots)) {
                close(fd); // drops both locks
                return false;
            }
            lockRange(fd, kFileLock, F_UNLCK, false);
            m_file = fd;
            m_slot = slot;
            return true;
        }
        // What was found dead or damaged is mended for the next reader.
        static_cast<void>(writeSlots(fd, slots));
        lockRange(fd, kFileLock, F_UNLCK, false);
        pauseFor(std::max(wait, 0.001));
    }
}

void RateLimit::takeHere()
{
    for (;;) {
        double wait = 0;
        const int slot = pickSlot(
            m_here.data(), m_perSecond, now(), [](int) { return false; }, wait);
        if (slot >= 0) {
            m_slot = slot;
            return;
        }
        pauseFor(std::max(wait, 0.001));
    }
}

void RateLimit::release()
{
    if (m_slot < 0)
        return;
    if (m_file >= 0) {
        Slots slots;
        if (lockRange(m_file, kFileLock, F_WRLCK, true) && readSlots(m_file, slots)) {
            slots[static_cast<size_t>(m_slot)] = {now(), 0};
            static_cast<void>(writeSlots(m_file, slots));
        }
        // Closing drops the slot's lock: a slot whose end could not be written counts as ended
        // when the next process finds it so.
        close(m_file);
        m_file = -1;
    } else {
        m_here[static_cast<size_t>(m_slot)] = {now(), 0};
    }
    m_slot = -1;
}

} // namespace Dbscout::Web
