// The module table's data and the arithmetic over it that needs nothing of the
// platform: registry scaling, range rules and the search for the next active module.
// Every table here has slots 0..count; slot 0 is never a module.
#ifndef TILO_ANIMATION_MODULE_MATH_H
#define TILO_ANIMATION_MODULE_MATH_H

// Modules are numbered from 1; 0 means no module on show.
constexpr int MODULE_COUNT = 1;

// One module's view. Angles in degrees; speed is the spin step per frame.
struct ModuleParams {
    float depth;
    float horz;
    float vert;
    float xrot;
    float yrot;
    float zrot;
    float speed;  // kept within kMinSpeed..kMaxSpeed
    bool active;  // takes part in the show
};
static_assert(sizeof(bool) == 1, "the active flag is one byte");

constexpr float kMinSpeed = 0.0625f;
constexpr float kMaxSpeed = 10.0f;
// A stored view value of exactly this cannot be told from an absent one.
constexpr int kAbsentValue = -9999;
constexpr int kDefaultCycleTime = 15;  // seconds

// Clears slots 0..count and gives them the built-in defaults (module 1 its own).
void FillDefaultModules(ModuleParams* table, int count);

// The view fields in table order, as the registry names them.
enum class ViewField { Depth, Horz, Vert, Xrot, Yrot, Zrot, Speed };

// Stored view values are hundredths. A distance whose stored value lies beyond this
// (1000 view units, the far plane of the projection) shows nothing and is not taken.
constexpr int kMaxStoredDistance = 100000;
// Rotations are kept within one turn either way: stored values in (-36000, 36000).
constexpr int kStoredTurn = 36000;

// Registry form of a fractional view value: the nearest hundredth, halves away from
// zero, saturated to the 32-bit range; NaN stores as 0. Exact for every value that
// ViewFieldFromStore gives, so a load and a save with no change between give back
// the stored integer.
int ScaleForStore(float value);
float ScaleFromStore(int stored);
// A view field from its stored value. Depth, horz and vert beyond kMaxStoredDistance
// either way read as the fallback (kept like an absent value); a rotation reads as the
// same angle reduced into (-360, 360); speed is clamped. Whatever it returns stores
// back as an integer that loads to the same value.
float ViewFieldFromStore(ViewField field, int stored, float fallback);
// An absent value keeps its default after the same round trip, in single precision
// and without truncation.
float KeepDefault(float value);
float ClampSpeed(float speed);
bool ActiveFromStore(int stored);    // any value above 0 is on
int CycleTimeFromStore(int stored);  // negative becomes the default; 0 stays

// The settings dialog's cycle time, in seconds, as it accepts one.
constexpr int kMinCycleTime = 1;
constexpr int kMaxCycleTime = 9999;
// Leading blanks, an optional sign, then decimal digits up to the first other
// character; 0 without digits. Saturates at the 32-bit range.
int CycleTimeFromText(const char* text);
int ClampCycleTime(int seconds);
bool SoundFromStore(int stored);  // exactly 1 is on

bool IsModuleIndex(int index, int count);
int CountActiveIn(const ModuleParams* table, int count);
// The next (previous) active module after (before) index, wrapping within 1..count,
// or 0 when none is active. An index outside 1..count wraps like one just past the end
// (the start), so with one module the answer is the same whatever the index.
int NextActiveIn(const ModuleParams* table, int count, int index);
int PrevActiveIn(const ModuleParams* table, int count, int index);

#endif
