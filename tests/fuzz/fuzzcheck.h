#pragma once

#include <cstdio>
#include <cstdlib>

/// Stops the fuzzer with a readable reason when an invariant does not hold; abort() is what
/// libFuzzer records as a crash, so the failing input is saved.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
