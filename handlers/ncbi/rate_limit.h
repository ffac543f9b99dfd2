#pragma once
// NCBI allows a user 3 requests a second without an API key and 10 with one. Every request is a
// handler process of its own, so the budget is shared through a small file that each process
// locks while it takes the next free moment: the times of the last requests, one slot each.

#include <string>

namespace Dbscout::Ncbi {

inline constexpr int kRequestsPerSecond = 3;
inline constexpr int kRequestsPerSecondWithKey = 10;

class RateLimit
{
public:
    // path is the shared file; perSecond how many requests any one second may hold.
    RateLimit(std::string path, int perSecond);

    // Waits until a request may go, and counts it. A file that cannot be used limits this
    // process alone; it never stops a request.
    void acquire();

private:
    std::string m_path;
    int m_perSecond;
    double m_lastHere = 0; // this process's last request, when the file cannot be used
};

} // namespace Dbscout::Ncbi
