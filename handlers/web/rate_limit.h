#pragma once
// Web services allow a user so many requests a second (NCBI 3, or 10 with an API key; ENA 50),
// counted where the requests arrive. Every request is a handler process of its own, so the budget
// is shared through a small file of slots, one for each request a second may hold. A request holds
// its slot while it is on its way, and for a second after its answer came back. An answer comes
// back only after its request arrived, so two requests of one slot arrive more than a second apart
// at the service however late or unevenly the network delivers them, and no second holds more
// requests than there are slots.
//
// A slot on its way is marked in the file and locked by its process; the kernel drops the lock of
// a process that dies (the panel kills a handler the user no longer waits for), so that its slot
// counts from the moment another process finds it dead instead of staying taken.

#include <string>
#include <vector>

namespace Dbscout::Web {

// The most requests a second any budget may hold: ENA's documented limit, the highest of the
// services served.
inline constexpr int kMostRequestsPerSecond = 50;

class RateLimit
{
public:
    // path is the shared file; perSecond how many requests any one second may hold. An empty
    // path, or a file that cannot be used, limits this process alone; it never stops a request.
    RateLimit(std::string path, int perSecond);
    ~RateLimit();
    RateLimit(const RateLimit&) = delete;
    RateLimit& operator=(const RateLimit&) = delete;

    // One request's hold on its slot, from before it is sent until its answer has come back (or
    // it failed): the end of the Turn is the end of the request.
    class [[nodiscard]] Turn
    {
    public:
        explicit Turn(RateLimit& limit) : m_limit(limit) {}
        ~Turn() { m_limit.release(); }
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;

    private:
        RateLimit& m_limit;
    };

    // Waits until a slot is free and takes it for one request (one at a time per RateLimit).
    Turn acquire();

    // One slot as the file holds it.
    struct Slot
    {
        double endedAt = 0;  // when its last request ended (the monotonic clock)
        double onItsWay = 0; // not 0 while a request holds it
    };

private:
    // The slot a request may take now, among the first count; or -1, and how long to wait before
    // looking again. going(i) tells whether the request that holds slot i is still on its way.
    // Slots found dead or damaged are mended in place.
    template <typename Going>
    static int pickSlot(Slot* slots, int count, double moment, Going going, double& wait);
    bool takeShared();
    void takeHere();
    void release();

    std::string m_path;
    int m_perSecond;
    int m_file = -1;          // the shared file, open while a request holds a slot in it
    int m_slot = -1;          // the slot held, -1 when none
    std::vector<Slot> m_here; // this process's own slots, when the file cannot be used
};

} // namespace Dbscout::Web
