// Leak checks on the process heaps, for code that allocates with LocalAlloc, malloc or
// new (all end on Win32 heaps).
#ifndef TILO_TESTS_SUPPORT_HEAP_GROWTH_H
#define TILO_TESTS_SUPPORT_HEAP_GROWTH_H

#include <stddef.h>

#include <functional>

// Bytes of all heap blocks in use in the process.
size_t HeapBytesInUse();

// Heap growth per call of `round`, in bytes. A leak grows the heap by the same amount
// in every round; the allocator and the runtime grow it in one-off steps (a cache that
// fills, a table that doubles). So `segments` runs of `perSegment` rounds are measured
// and the median of their growths, divided by perSegment, is the answer: a step lands
// in one segment and leaves the median alone. Let everything that is kept once used
// (decoder tables, the sound driver) be used before the call.
double HeapGrowthPerRound(const std::function<void()>& round, int segments = 5, int perSegment = 2);

#endif
