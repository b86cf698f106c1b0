#include "animation/module_math.h"

#include <math.h>
#include <stdint.h>
#include <string.h>

void FillDefaultModules(ModuleParams* table, int count)
{
    memset(table, 0, sizeof(ModuleParams) * static_cast<size_t>(count + 1));
    for (int i = 0; i <= count; ++i) {
        table[i].depth = 40.0f;
        table[i].speed = 0.5f;
        table[i].active = true;
    }
    if (count >= 1) {
        table[1].depth = 41.0f;
        table[1].speed = 0.1f;
    }
}

int ScaleForStore(float value)
{
    // A float times 100 is exact in double (24 + 7 significant bits), so the rounding
    // sees the value's own hundredths, and no conversion below can overflow.
    double hundredths = round(static_cast<double>(value) * 100.0);
    if (hundredths != hundredths) return 0;  // NaN
    if (hundredths >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (hundredths <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return static_cast<int>(hundredths);
}

float ScaleFromStore(int stored) { return static_cast<float>(stored) / 100.0f; }

float ViewFieldFromStore(ViewField field, int stored, float fallback)
{
    switch (field) {
    case ViewField::Depth:
    case ViewField::Horz:
    case ViewField::Vert:
        if (stored > kMaxStoredDistance || stored < -kMaxStoredDistance) return KeepDefault(fallback);
        return ScaleFromStore(stored);
    case ViewField::Xrot:
    case ViewField::Yrot:
    case ViewField::Zrot:
        // Reduced as an integer, so the angle stays exact.
        return ScaleFromStore(stored % kStoredTurn);
    case ViewField::Speed:
        return ClampSpeed(ScaleFromStore(stored));
    }
    return fallback;
}

float KeepDefault(float value)
{
    // volatile keeps each step in single precision whatever the optimiser does.
    volatile float scaled = value * 100.0f;
    return scaled / 100.0f;
}

float ClampSpeed(float speed)
{
    if (speed < kMinSpeed) speed = kMinSpeed;
    if (speed > kMaxSpeed) speed = kMaxSpeed;
    return speed;
}

bool ActiveFromStore(int stored) { return stored > 0; }

int CycleTimeFromStore(int stored) { return stored < 0 ? kDefaultCycleTime : stored; }

int CycleTimeFromText(const char* text)
{
    while (*text == ' ' || *text == '\t') ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > 2147483648LL) value = 2147483648LL;
    }
    if (negative) value = -value;
    return value > 2147483647LL ? 2147483647 : static_cast<int>(value);
}

int ClampCycleTime(int seconds)
{
    return seconds < kMinCycleTime ? kMinCycleTime : seconds > kMaxCycleTime ? kMaxCycleTime : seconds;
}

bool SoundFromStore(int stored) { return stored == 1; }

bool IsModuleIndex(int index, int count) { return index >= 1 && index <= count; }

int CountActiveIn(const ModuleParams* table, int count)
{
    int n = 0;
    for (int i = 1; i <= count; ++i)
        if (table[i].active) ++n;
    return n;
}

int NextActiveIn(const ModuleParams* table, int count, int index)
{
    if (count < 1) return 0;
    int candidate = index + 1;
    if (!IsModuleIndex(candidate, count)) candidate = 1;
    for (int step = 0; step <= count; ++step) {
        if (table[candidate].active) return candidate;
        candidate = candidate == count ? 1 : candidate + 1;
    }
    return 0;
}

int PrevActiveIn(const ModuleParams* table, int count, int index)
{
    if (count < 1) return 0;
    int candidate = index - 1;
    if (!IsModuleIndex(candidate, count)) candidate = count;
    for (int step = 0; step <= count; ++step) {
        if (table[candidate].active) return candidate;
        candidate = candidate == 1 ? count : candidate - 1;
    }
    return 0;
}
