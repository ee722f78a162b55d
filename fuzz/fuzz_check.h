#pragma once
// What a fuzz target asserts: a broken promise aborts, and libFuzzer keeps the input that did it.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                            \
    do {                                                                            \
        if (!(cond)) {                                                              \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                           \
        }                                                                           \
    } while (0)
