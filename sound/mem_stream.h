// A read-only byte stream over a block of memory (the chant resource, read in place),
// offered to the Ogg Vorbis decoder through its four stream callbacks.
#ifndef TILO_SOUND_MEM_STREAM_H
#define TILO_SOUND_MEM_STREAM_H

#include <stddef.h>
#include <stdint.h>

// One per opened resource source, heap-allocated; never owns `data`.
struct MemStream {
    uint32_t pos;               // bytes from the start of data; may lie past size after a seek
    uint32_t size;              // length of data in bytes
    const unsigned char* data;  // first byte of the block, valid for the life of the stream
};

// Signatures as libvorbisfile's ov_callbacks expects them (ogg_int64_t is int64_t).
// Bytes copied (not items), never more than the block holds from pos on; 0 for a null source.
size_t MemStreamRead(void* ptr, size_t size, size_t nmemb, void* datasource);
// whence 0/1/2 as SEEK_SET/CUR/END; the low 32 bits of offset count and sums wrap
// modulo 2^32, unchecked. -1 for any other whence or a null source.
int MemStreamSeek(void* datasource, int64_t offset, int whence);
// Frees the record (not the data) with free(): the record must come from malloc.
int MemStreamClose(void* datasource);
// pos as a signed 32-bit value; -1 for a null source.
long MemStreamTell(void* datasource);

#endif
