#include "sound/memory_source.h"

#include <stdlib.h>

#include "sound/mem_stream.h"

bool OpenMemorySource(const unsigned char* data, uint32_t size, OggVorbis_File* vf)
{
    // malloc, because MemStreamClose releases it with free().
    MemStream* stream = static_cast<MemStream*>(malloc(sizeof(MemStream)));
    if (!stream) return false;
    stream->pos = 0;
    stream->size = size;
    stream->data = data;
    ov_callbacks callbacks;
    callbacks.read_func = MemStreamRead;
    callbacks.seek_func = MemStreamSeek;
    callbacks.close_func = MemStreamClose;
    callbacks.tell_func = MemStreamTell;
    // On failure the decoder leaves the source alone: it is ours to free.
    if (ov_open_callbacks(stream, vf, nullptr, 0, callbacks) < 0) {
        free(stream);
        return false;
    }
    return true;
}
