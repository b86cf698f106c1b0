#include "sound/mem_stream.h"

#include <stdlib.h>
#include <string.h>

size_t MemStreamRead(void* ptr, size_t size, size_t nmemb, void* datasource)
{
    MemStream* s = static_cast<MemStream*>(datasource);
    if (!s || s->pos >= s->size || size == 0 || nmemb == 0) return 0;
    // The request is bounded by what is left, never by a product that could wrap:
    // any item size times count that exceeds the rest (or overflows) takes just the rest.
    size_t left = s->size - s->pos;
    size_t n = (nmemb > left / size) ? left : size * nmemb;
    memcpy(ptr, s->data + s->pos, n);
    s->pos += static_cast<uint32_t>(n);
    return n;
}

int MemStreamSeek(void* datasource, int64_t offset, int whence)
{
    MemStream* s = static_cast<MemStream*>(datasource);
    if (!s) return -1;
    uint32_t off = static_cast<uint32_t>(static_cast<uint64_t>(offset));
    switch (whence) {
    case 0:
        s->pos = off;
        break;
    case 1:
        s->pos = s->pos + off;
        break;
    case 2:
        s->pos = s->size + off;
        break;
    default:
        return -1;
    }
    return 0;
}

int MemStreamClose(void* datasource)
{
    if (!datasource) return -1;
    free(datasource);
    return 0;
}

long MemStreamTell(void* datasource)
{
    const MemStream* s = static_cast<const MemStream*>(datasource);
    if (!s) return -1;
    return static_cast<long>(static_cast<int32_t>(s->pos));
}
