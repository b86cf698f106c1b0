// The chant's way through the decoder with any bytes in its place: the memory source
// opened over the input as the music player opens the resource (a MemStream through the
// four stream callbacks), then decoded to the end as the player decodes it (16-bit
// signed little-endian) and cleared. The sanitizers watch every read, seek and free.
#include <stdint.h>

#include <vorbis/vorbisfile.h>

#include "sound/memory_source.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const int kBufferSize = 4096;  // one of the player's wave buffers
const int kMaxHoles = 64;      // a damaged stream is read past this many gaps, then left

}  // namespace

// Reports from inside libogg and libvorbis that are known and benign (listed with their
// reasons beside this file) are passed over; every other one ends the run.
extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1:suppressions=" TILO_FUZZ_SUPPRESSIONS;
}

// libvorbisfile 1.3.7 loses a link's headers and serial numbers when its search for the
// links of a chained stream fails further on: a few kilobytes for each open of such a
// damaged stream, inside the library.
extern "C" const char* __lsan_default_suppressions() { return "leak:_bisect_forward_serialno\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > UINT32_MAX) return 0;
    OggVorbis_File vf;
    if (!OpenMemorySource(data, static_cast<uint32_t>(size), &vf)) return 0;
    // The memory source is always seekable: the decoder's probe of it must succeed.
    FUZZ_CHECK(ov_seekable(&vf) != 0);

    // The player takes the format from here before it opens the device.
    vorbis_info* info = ov_info(&vf, -1);
    FUZZ_CHECK(info != nullptr);

    char pcm[kBufferSize];
    int section = 0;
    int holes = 0;
    for (;;) {
        long got = ov_read(&vf, pcm, kBufferSize, 0, 2, 1, &section);
        if (got == OV_HOLE && ++holes <= kMaxHoles) continue;
        if (got <= 0) break;
        FUZZ_CHECK(got <= kBufferSize);
    }
    ov_clear(&vf);
    return 0;
}
