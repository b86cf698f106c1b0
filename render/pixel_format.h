// Pixel-format scoring: plain values only, so it can be exercised on made-up lists.
#ifndef TILO_RENDER_PIXEL_FORMAT_H
#define TILO_RENDER_PIXEL_FORMAT_H

#include <stdint.h>

// The descriptor fields that the choice looks at; the flag and type values are the
// platform's own (PFD_DRAW_TO_WINDOW 0x4, PFD_SUPPORT_OPENGL 0x20, PFD_DOUBLEBUFFER 0x1,
// PFD_GENERIC_FORMAT 0x40, PFD_TYPE_RGBA 0).
struct PixelFormatFields {
    uint32_t dwFlags;
    uint8_t iPixelType;
    uint8_t cColorBits;
    uint8_t cDepthBits;
};

enum : uint32_t {
    kPfdDoubleBuffer = 0x1,
    kPfdDrawToWindow = 0x4,
    kPfdSupportOpenGL = 0x20,
    kPfdGenericFormat = 0x40,
};
enum : uint8_t { kPfdTypeRGBA = 0 };

// 0 for an unusable format; hardware beats software, then the smaller depth buffer of
// 16 to 128 bits, then double buffering.
unsigned ScorePixelFormat(const PixelFormatFields& pfd, int colourBits);

// Chooses among formats 1..count. describe(i, &fields) fills format i and returns false
// when it cannot; provisional is the platform chooser's answer (0: none at all). The
// highest score wins, ties going to the higher index; when nothing scores, provisional.
int ChooseScoredFormat(int count, int provisional, int colourBits,
                       bool (*describe)(void* context, int index, PixelFormatFields* out), void* context);

#endif
