#include <gtest/gtest.h>

#include <vector>

#include "render/pixel_format.h"

namespace {

const uint32_t kWindowGL = kPfdDrawToWindow | kPfdSupportOpenGL;

PixelFormatFields Format(uint32_t flags, uint8_t colour, uint8_t depth, uint8_t type = kPfdTypeRGBA)
{
    return PixelFormatFields{flags, type, colour, depth};
}

struct List {
    std::vector<PixelFormatFields> formats;  // index 1 is formats[0]
};

bool Describe(void* context, int index, PixelFormatFields* out)
{
    List* list = static_cast<List*>(context);
    if (index < 1 || index > static_cast<int>(list->formats.size())) return false;
    *out = list->formats[index - 1];
    return true;
}

int Choose(List& list, int provisional = 1)
{
    return ChooseScoredFormat(static_cast<int>(list.formats.size()), provisional, 32, Describe, &list);
}

}  // namespace

TEST(PixelFormatScore, HardwareDoubleBufferedDepthScores)
{
    EXPECT_EQ(ScorePixelFormat(Format(kWindowGL | kPfdDoubleBuffer, 32, 16), 32), 1138u);
    EXPECT_EQ(ScorePixelFormat(Format(kWindowGL | kPfdDoubleBuffer, 32, 24), 32), 1130u);
    EXPECT_EQ(ScorePixelFormat(Format(kWindowGL | kPfdDoubleBuffer, 32, 32), 32), 1122u);
    EXPECT_EQ(ScorePixelFormat(Format(kWindowGL, 32, 24), 32), 1129u);
    // 9 to 15 depth bits add nothing.
    EXPECT_EQ(ScorePixelFormat(Format(kWindowGL | kPfdDoubleBuffer, 32, 12), 32), 1026u);
    // Software formats never get the hardware bonus.
    EXPECT_EQ(ScorePixelFormat(Format(kWindowGL | kPfdDoubleBuffer | kPfdGenericFormat, 32, 16), 32), 114u);
    // 128 depth bits and more add nothing; 129 once wrapped to a score near 2^32.
    EXPECT_EQ(ScorePixelFormat(Format(kWindowGL | kPfdDoubleBuffer, 32, 128), 32), 1026u);
    EXPECT_EQ(ScorePixelFormat(Format(kWindowGL | kPfdDoubleBuffer | kPfdGenericFormat, 32, 129), 32), 2u);
    EXPECT_EQ(ScorePixelFormat(Format(kWindowGL, 32, 255), 32), 1025u);
}

TEST(PixelFormatScore, EachDisqualifyingConditionScoresZero)
{
    const uint32_t good = kWindowGL | kPfdDoubleBuffer;
    EXPECT_EQ(ScorePixelFormat(Format(good, 24, 24), 32), 0u);  // colour depth
    EXPECT_EQ(ScorePixelFormat(Format(kPfdDrawToWindow | kPfdDoubleBuffer, 32, 24), 32), 0u);
    EXPECT_EQ(ScorePixelFormat(Format(kPfdSupportOpenGL | kPfdDoubleBuffer, 32, 24), 32), 0u);
    EXPECT_EQ(ScorePixelFormat(Format(good, 32, 8), 32), 0u);  // 8-bit depth
    EXPECT_EQ(ScorePixelFormat(Format(good, 32, 0), 32), 0u);
    EXPECT_EQ(ScorePixelFormat(Format(good, 32, 24, 1 /* colour index */), 32), 0u);
    EXPECT_GT(ScorePixelFormat(Format(good, 32, 9), 32), 0u);
}

TEST(PixelFormatChoice, SmallerDepthBufferWinsOverLargerOne)
{
    List list;
    for (int i = 0; i < 6; ++i) list.formats.push_back(Format(kWindowGL, 16, 0));
    list.formats[4] = Format(kWindowGL | kPfdDoubleBuffer, 32, 24);  // index 5: 1130
    list.formats[2] = Format(kWindowGL | kPfdDoubleBuffer, 32, 16);  // index 3: 1138
    EXPECT_EQ(Choose(list), 3);
}

TEST(PixelFormatChoice, EqualTopScoresGoToTheHigherIndex)
{
    List list;
    list.formats = {Format(kWindowGL | kPfdDoubleBuffer, 32, 24), Format(kWindowGL, 32, 24),
                    Format(kWindowGL | kPfdDoubleBuffer, 32, 24), Format(kWindowGL, 16, 24)};
    EXPECT_EQ(Choose(list), 3);
}

TEST(PixelFormatChoice, SoftwareOnlyPicksTheBestSoftwareFormat)
{
    const uint32_t sw = kWindowGL | kPfdGenericFormat;
    List list;
    list.formats = {Format(sw, 32, 32), Format(sw | kPfdDoubleBuffer, 32, 16), Format(sw, 32, 16)};
    EXPECT_EQ(Choose(list, 1), 2);
    // However deep its depth buffer, a software format stays below a hardware one.
    list.formats = {Format(kWindowGL, 32, 24), Format(sw | kPfdDoubleBuffer, 32, 255)};
    EXPECT_EQ(Choose(list, 2), 1);
}

TEST(PixelFormatChoice, NoThirtyTwoBitFormatKeepsThePlatformsChoice)
{
    List list;
    list.formats = {Format(kWindowGL | kPfdDoubleBuffer, 16, 16), Format(kWindowGL, 16, 24)};
    EXPECT_EQ(Choose(list, 2), 2);
    // Nothing from the platform chooser means no format at all, whatever scores.
    list.formats.push_back(Format(kWindowGL | kPfdDoubleBuffer, 32, 24));
    EXPECT_EQ(Choose(list, 0), 0);
}

TEST(PixelFormatChoice, FormatsThatCannotBeDescribedAreSkipped)
{
    List list;
    list.formats = {Format(kWindowGL | kPfdDoubleBuffer, 32, 24)};
    // Claims three formats, of which only the first can be described.
    EXPECT_EQ(ChooseScoredFormat(3, 2, 32, Describe, &list), 1);
}
