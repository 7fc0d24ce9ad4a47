// A broken expectation in a fuzz target: reported and turned into a crash,
// which libFuzzer records with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: expectation failed: %s\n", __FILE__, __LINE__, \
                         #condition);                                                      \
            std::abort();                                                                  \
        }                                                                                  \
    } while (false)
