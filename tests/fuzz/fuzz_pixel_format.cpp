// The pixel-format choice over any list the platform might describe: formats that cannot
// be described, any provisional answer, counts that claim more or fewer formats than
// exist. The choice must be the best-scoring describable format (the higher index on a
// tie), or the provisional one when none scores, and never ask for a format outside
// 1..count or twice; the score must rank hardware over software, then the smaller depth
// buffer, then double buffering.
//
// Input: colour bits, provisional (16-bit signed), a count adjustment (8-bit signed),
// then 8 bytes a format: flags (32-bit), type, colour bits, depth bits, describable.
#include <stdint.h>
#include <string.h>

#include <vector>

#include "render/pixel_format.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

struct Entry {
    PixelFormatFields fields;
    bool describable;
};

struct List {
    std::vector<Entry> entries;  // format i is entries[i - 1]
    int count;
    std::vector<int> asked;  // how often each index 1..count was described
};

bool Describe(void* context, int index, PixelFormatFields* out)
{
    List* list = static_cast<List*>(context);
    FUZZ_CHECK(index >= 1 && index <= list->count);
    FUZZ_CHECK(++list->asked[static_cast<size_t>(index)] == 1);
    if (index > static_cast<int>(list->entries.size())) return false;
    const Entry& e = list->entries[static_cast<size_t>(index - 1)];
    if (!e.describable) return false;
    *out = e.fields;
    return true;
}

void CheckScore(const PixelFormatFields& f, int colourBits)
{
    unsigned score = ScorePixelFormat(f, colourBits);
    bool usable = f.cColorBits == colourBits && (f.dwFlags & kPfdSupportOpenGL) &&
                  (f.dwFlags & kPfdDrawToWindow) && f.cDepthBits > 8 && f.iPixelType == kPfdTypeRGBA;
    FUZZ_CHECK((score > 0) == usable);
    if (!usable) return;
    // Every hardware format outranks every software one.
    FUZZ_CHECK((score > 1024) == !(f.dwFlags & kPfdGenericFormat));
    PixelFormatFields other = f;
    other.dwFlags ^= kPfdDoubleBuffer;
    unsigned toggled = ScorePixelFormat(other, colourBits);
    FUZZ_CHECK((f.dwFlags & kPfdDoubleBuffer) ? toggled + 1 == score : toggled == score + 1);
    // One more depth bit costs one point from 16 bits up to 128, nothing beyond.
    if (f.cDepthBits >= 16 && f.cDepthBits < 255) {
        other = f;
        ++other.cDepthBits;
        FUZZ_CHECK(ScorePixelFormat(other, colourBits) + (f.cDepthBits < 128 ? 1 : 0) == score);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4) return 0;
    int colourBits = data[0];
    int16_t provisional;
    memcpy(&provisional, data + 1, 2);
    int adjust = static_cast<int8_t>(data[3]);
    data += 4;
    size -= 4;

    List list;
    for (; size >= 8; data += 8, size -= 8) {
        Entry e;
        memcpy(&e.fields.dwFlags, data, 4);
        e.fields.iPixelType = data[4];
        e.fields.cColorBits = data[5];
        e.fields.cDepthBits = data[6];
        e.describable = data[7] & 1;
        list.entries.push_back(e);
    }
    list.count = static_cast<int>(list.entries.size()) + adjust;
    list.asked.assign(static_cast<size_t>(list.count > 0 ? list.count : 0) + 1, 0);

    int choice = ChooseScoredFormat(list.count, provisional, colourBits, Describe, &list);

    // The expected choice, scanned upwards: the last of the best wins.
    int expected = provisional;
    unsigned best = 0;
    for (int i = 1; i <= list.count && i <= static_cast<int>(list.entries.size()); ++i) {
        const Entry& e = list.entries[static_cast<size_t>(i - 1)];
        if (!e.describable) continue;
        CheckScore(e.fields, colourBits);
        unsigned s = ScorePixelFormat(e.fields, colourBits);
        if (s > 0 && s >= best) {
            best = s;
            expected = i;
        }
    }
    if (provisional == 0) expected = 0;
    FUZZ_CHECK(choice == expected);
    return 0;
}
