#include "sound/music_source.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "sound/memory_source.h"
#include "support/process.h"

namespace {

const char kResPrefix[] = "res://";
const size_t kResPrefixLen = 6;

// The resource's bytes in the loaded executable, which stay valid for the life of the
// process and need no release; false when it is missing, empty or cannot be loaded.
bool FindChantBytes(const char* target, const unsigned char** data, DWORD* size)
{
    LPCSTR id = target;
    if (target[0] == '#') {
        // A number in C notation (decimal, 0x hexadecimal, 0 octal), as "%i" reads it;
        // strtol keeps the scanf machinery out of the executable.
        char* end = nullptr;
        long number = strtol(target + 1, &end, 0);
        if (end == target + 1) return false;
        id = MAKEINTRESOURCEA(static_cast<WORD>(number & 0xFFFF));
    }
    HMODULE module = g_hModule ? g_hModule : GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, id, RT_RCDATA);
    if (!res) return false;
    DWORD bytes = SizeofResource(module, res);
    if (bytes == 0) return false;
    HGLOBAL loaded = LoadResource(module, res);
    if (!loaded) return false;
    const void* p = LockResource(loaded);
    if (!p) return false;
    *data = static_cast<const unsigned char*>(p);
    *size = bytes;
    return true;
}

}  // namespace

bool OpenMusicSource(const char* name, OggVorbis_File* vf)
{
    if (!name || !vf) return false;
    if (strncmp(name, kResPrefix, kResPrefixLen) == 0) {
        const unsigned char* data = nullptr;
        DWORD size = 0;
        if (!FindChantBytes(name + kResPrefixLen, &data, &size)) return false;
        if (!OpenMemorySource(data, size, vf)) return false;
    } else {
        FILE* file = fopen(name, "rb");
        if (!file) return false;
        if (ov_open(file, vf, nullptr, 0) < 0) {
            fclose(file);
            return false;
        }
    }
    if (ov_seekable(vf) == 0) {
        ov_clear(vf);
        return false;
    }
    return true;
}
