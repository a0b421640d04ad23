#pragma once
// A check that holds in every build type (assert disappears with NDEBUG): a failure is reported
// and aborts, which libFuzzer records as a crash with the input that caused it.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, ...)                                                                           \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "check failed: %s at %s:%d: ", #condition, __FILE__, __LINE__);             \
            std::fprintf(stderr, __VA_ARGS__);                                                               \
            std::fprintf(stderr, "\n");                                                                      \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
