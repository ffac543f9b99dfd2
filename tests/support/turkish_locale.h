#pragma once
// A Turkish character type locale for the test's lifetime: its C library pairs "i" with a
// dotted capital and "I" with a dotless small letter, the locale that shows whether a comparison
// of protocol words follows the locale. It is compiled with localedef into the given folder (no
// locale need be installed) and made the process's LC_CTYPE; the previous one comes back at the
// end.

#include <string>

namespace DbscoutTest {

class TurkishLocale
{
public:
    explicit TurkishLocale(const std::string& folder);
    ~TurkishLocale();
    // Neither copied nor moved: the previous locale comes back once.
    TurkishLocale(TurkishLocale&&) = delete;

    // False when the locale could not be made (localedef or its sources missing).
    bool active() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};

} // namespace DbscoutTest
