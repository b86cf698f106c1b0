#include "support/heap_growth.h"

#include <windows.h>

#include <algorithm>
#include <vector>

size_t HeapBytesInUse()
{
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    size_t total = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

double HeapGrowthPerRound(const std::function<void()>& round, int segments, int perSegment)
{
    std::vector<double> growth;
    for (int s = 0; s < segments; ++s) {
        double before = static_cast<double>(HeapBytesInUse());
        for (int r = 0; r < perSegment; ++r) round();
        growth.push_back(static_cast<double>(HeapBytesInUse()) - before);
    }
    std::sort(growth.begin(), growth.end());
    return growth[growth.size() / 2] / perSegment;
}
