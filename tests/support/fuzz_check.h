#pragma once
// The property checks of the fuzz harnesses: a broken property prints what broke and aborts,
// which libFuzzer reports as a crash (and keeps the input) and a corpus replay as a failed test.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
