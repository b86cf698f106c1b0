// A property that a fuzz target holds for every input: when it fails, the input is a
// finding, and libFuzzer keeps it as a reproducer.
#ifndef TILO_TESTS_FUZZ_CHECK_H
#define TILO_TESTS_FUZZ_CHECK_H

#include <stdio.h>
#include <stdlib.h>

#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);                      \
            abort();                                                                                         \
        }                                                                                                    \
    } while (0)

#endif
