#include "render/pixel_format.h"

unsigned ScorePixelFormat(const PixelFormatFields& pfd, int colourBits)
{
    if (pfd.cColorBits != colourBits) return 0;
    if (!(pfd.dwFlags & kPfdSupportOpenGL)) return 0;
    if (!(pfd.dwFlags & kPfdDrawToWindow)) return 0;
    if (pfd.cDepthBits <= 8) return 0;
    if (pfd.iPixelType != kPfdTypeRGBA) return 0;

    unsigned score = (pfd.dwFlags & kPfdDoubleBuffer) ? 2 : 1;
    // Depth buffers of 128 bits and more add nothing: the term must not wrap the
    // unsigned score, which would lift them above every hardware format.
    if (pfd.cDepthBits >= 16 && pfd.cDepthBits < 128) score += 128u - pfd.cDepthBits;
    if (pfd.dwFlags & kPfdGenericFormat) return score;
    return score + 1024;
}

int ChooseScoredFormat(int count, int provisional, int colourBits,
                       bool (*describe)(void* context, int index, PixelFormatFields* out), void* context)
{
    if (provisional == 0) return 0;
    int choice = provisional;
    unsigned best = 0;
    for (int i = count; i >= 1; --i) {
        PixelFormatFields f{};
        if (!describe(context, i, &f)) continue;
        unsigned s = ScorePixelFormat(f, colourBits);
        if (s > best) {
            best = s;
            choice = i;
        }
    }
    return choice;
}
