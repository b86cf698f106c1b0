// Module values as the registry may hold them: any 32-bit integer for each view field.
// Loading and saving with nothing changed between must give the stored integer back
// when the view can take the value, and otherwise an integer that is kept from then
// on; and any float, NaN and infinities included, must store without an overflow.
//
// Input: 4-byte words, each read as a stored value for every field and as a float.
#include <stdint.h>
#include <string.h>

#include "animation/module_math.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const ViewField kFields[] = {ViewField::Depth, ViewField::Horz, ViewField::Vert, ViewField::Xrot,
                             ViewField::Yrot,  ViewField::Zrot, ViewField::Speed};

// Whether the view takes a stored value as it is: no default, reduction or clamp.
bool Taken(ViewField field, int stored)
{
    switch (field) {
    case ViewField::Depth:
    case ViewField::Horz:
    case ViewField::Vert:
        return stored >= -kMaxStoredDistance && stored <= kMaxStoredDistance;
    case ViewField::Speed:
        return stored >= 6 && stored <= 1000;  // 0.0625 to the nearest hundredth .. 10.0
    default:
        return stored > -kStoredTurn && stored < kStoredTurn;
    }
}

int LoadAndSave(ViewField field, int stored, float fallback)
{
    return ScaleForStore(ViewFieldFromStore(field, stored, fallback));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ModuleParams defaults[2];
    FillDefaultModules(defaults, 1);
    const ModuleParams& d = defaults[1];
    const float fallback[] = {d.depth, d.horz, d.vert, d.xrot, d.yrot, d.zrot, d.speed};

    for (; size >= 4; data += 4, size -= 4) {
        int32_t stored;
        float value;
        memcpy(&stored, data, 4);
        memcpy(&value, data, 4);
        for (int k = 0; k < 7; ++k) {
            ViewField field = kFields[k];
            int saved = LoadAndSave(field, stored, fallback[k]);
            if (Taken(field, stored)) FUZZ_CHECK(saved == stored);
            FUZZ_CHECK(Taken(field, saved));
            FUZZ_CHECK(LoadAndSave(field, saved, fallback[k]) == saved);
            // A word's float, any fallback: still no overflow, still a kept value.
            int again = LoadAndSave(field, stored, value);
            FUZZ_CHECK(LoadAndSave(field, again, value) == again);
        }
        // The stored hundredths of any float are its nearest, within the 32-bit range.
        int hundredths = ScaleForStore(value);
        if (value != value) {
            FUZZ_CHECK(hundredths == 0);
        } else {
            double exact = static_cast<double>(value) * 100.0;
            if (exact > -2147483648.5 && exact < 2147483647.5)
                FUZZ_CHECK(hundredths - exact <= 0.5 && exact - hundredths <= 0.5);
            else
                FUZZ_CHECK(hundredths == (exact > 0 ? INT32_MAX : INT32_MIN));
        }
    }
    return 0;
}
