// Source names of the music player and how they become an open decoder:
//   "res://NAME"  RT_RCDATA resource NAME of the executable (g_hModule), read in place;
//   "res://#N"    RT_RCDATA resource with integer id N (read as "%i"; low 16 bits);
//   anything else a file path, opened "rb". The prefix is case-sensitive.
#ifndef TILO_SOUND_MUSIC_SOURCE_H
#define TILO_SOUND_MUSIC_SOURCE_H

#include <vorbis/vorbisfile.h>

// True: vf is open and seekable; the caller releases it with ov_clear, which also
// closes the source. False: nothing is left open or allocated and vf needs no clearing.
bool OpenMusicSource(const char* name, OggVorbis_File* vf);

#endif
