// libvorbisfile over a block of memory, read in place through a MemStream: the way the
// chant resource is opened, and nothing of the platform, so that it can be exercised
// natively on any bytes.
#ifndef TILO_SOUND_MEMORY_SOURCE_H
#define TILO_SOUND_MEMORY_SOURCE_H

#include <stdint.h>

#include <vorbis/vorbisfile.h>

// True: vf is open on a MemStream over data, which must outlive it; ov_clear frees the
// stream. False: nothing is left allocated and vf needs no clearing.
bool OpenMemorySource(const unsigned char* data, uint32_t size, OggVorbis_File* vf);

#endif
