// Source names of the music player and the compiled-in chant, through the real
// libvorbisfile: resource names, numbered resources, file paths and broken streams.
#include "sound/music_source.h"
#include "support/heap_growth.h"
#include "support/process.h"
#include "support/saver_process.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

// Decodes the whole stream as the player does; the 16-bit mono samples.
std::vector<int16_t> DecodeAll(OggVorbis_File* vf)
{
    std::vector<int16_t> out;
    char buf[4096];
    int section = 0;
    for (;;) {
        long got = ov_read(vf, buf, sizeof buf, 0, 2, 1, &section);
        if (got <= 0) break;
        const int16_t* p = reinterpret_cast<const int16_t*>(buf);
        out.insert(out.end(), p, p + got / 2);
    }
    return out;
}

std::string TempFile(const char* tag)
{
    char dir[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    snprintf(path, sizeof path, "%stilo_%s_%lu.ogg", dir, tag, GetCurrentProcessId());
    return path;
}

bool WriteFile(const std::string& path, const void* data, size_t size)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

class MusicSource : public testing::Test {
protected:
    void SetUp() override
    {
        // The chant is compiled into the saver: the source reads it from there.
        saved_ = g_hModule;
        saver_ = LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(saver_, nullptr) << SaverPath();
        g_hModule = saver_;
        HRSRC res = FindResourceA(saver_, "OMCHANT", RT_RCDATA);
        ASSERT_NE(res, nullptr);
        const char* p = static_cast<const char*>(LockResource(LoadResource(saver_, res)));
        chant_.assign(p, p + SizeofResource(saver_, res));
    }
    void TearDown() override
    {
        for (const std::string& f : files_) DeleteFileA(f.c_str());
        g_hModule = saved_;
        if (saver_) FreeLibrary(saver_);
    }
    std::string Scratch(const char* tag, const std::vector<char>& bytes)
    {
        std::string path = TempFile(tag);
        files_.push_back(path);
        EXPECT_TRUE(WriteFile(path, bytes.data(), bytes.size()));
        return path;
    }
    HMODULE saved_ = nullptr, saver_ = nullptr;
    std::vector<char> chant_;
    std::vector<std::string> files_;
};

}  // namespace

TEST_F(MusicSource, CompiledInChantOpensAsMono44100)
{
    OggVorbis_File vf;
    ASSERT_TRUE(OpenMusicSource("res://OMCHANT", &vf));
    EXPECT_NE(ov_seekable(&vf), 0);
    vorbis_info* info = ov_info(&vf, -1);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->channels, 1);
    EXPECT_EQ(info->rate, 44100);
    EXPECT_EQ(ov_clear(&vf), 0);
}

TEST_F(MusicSource, MalformedResourceNamesFail)
{
    OggVorbis_File vf;
    EXPECT_FALSE(OpenMusicSource("res://#abc", &vf));  // no number after '#'
    EXPECT_FALSE(OpenMusicSource("res://#", &vf));
    EXPECT_FALSE(OpenMusicSource("res://", &vf));  // the empty name matches nothing
    EXPECT_FALSE(OpenMusicSource("res://NOSUCH", &vf));
    EXPECT_FALSE(OpenMusicSource("res://#0", &vf));  // numbered: none in the saver
    EXPECT_FALSE(OpenMusicSource("res://#0x10", &vf));
    EXPECT_FALSE(OpenMusicSource("res://#-1", &vf));
    EXPECT_FALSE(OpenMusicSource("", &vf));  // a file path that names nothing
    // The prefix is case-sensitive: this is a file path, and no such file exists.
    EXPECT_FALSE(OpenMusicSource("RES://OMCHANT", &vf));
    EXPECT_FALSE(OpenMusicSource("res:/OMCHANT", &vf));
}

TEST_F(MusicSource, ChantFileOpensAndIsClosedByClear)
{
    OggVorbis_File mem;
    ASSERT_TRUE(OpenMusicSource("res://OMCHANT", &mem));
    std::vector<int16_t> fromResource = DecodeAll(&mem);
    ov_clear(&mem);

    std::string path = Scratch("chant", chant_);
    OggVorbis_File vf;
    ASSERT_TRUE(OpenMusicSource(path.c_str(), &vf));
    EXPECT_EQ(ov_info(&vf, -1)->channels, 1);
    // Open, the file cannot be deleted (the runtime opens it without delete sharing)...
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_TRUE(DecodeAll(&vf) == fromResource);
    ov_clear(&vf);
    // ...and after the clear it can.
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST_F(MusicSource, FileThatIsNoOggStreamFailsAndIsClosed)
{
    std::vector<char> text(5000, 'x');
    std::string path = Scratch("text", text);
    OggVorbis_File vf;
    EXPECT_FALSE(OpenMusicSource(path.c_str(), &vf));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    std::string empty = Scratch("empty", {});
    EXPECT_FALSE(OpenMusicSource(empty.c_str(), &vf));
    EXPECT_TRUE(DeleteFileA(empty.c_str()));
}

TEST_F(MusicSource, TruncatedChantFileFailsOrDecodesLess)
{
    size_t full = 0;
    {
        OggVorbis_File vf;
        ASSERT_TRUE(OpenMusicSource("res://OMCHANT", &vf));
        full = DecodeAll(&vf).size();
        ov_clear(&vf);
    }
    // Cut inside the headers, just after them, and half way through the audio.
    for (size_t cut : {size_t(20), size_t(3000), chant_.size() / 2, chant_.size() - 1}) {
        SCOPED_TRACE(cut);
        std::vector<char> part(chant_.begin(), chant_.begin() + cut);
        std::string path = Scratch("cut", part);
        OggVorbis_File vf;
        if (OpenMusicSource(path.c_str(), &vf)) {
            EXPECT_GE(cut, 3000u);
            EXPECT_LT(DecodeAll(&vf).size(), full);
            ov_clear(&vf);
        }
        EXPECT_TRUE(DeleteFileA(path.c_str())) << "left open";
    }
}

TEST_F(MusicSource, CorruptedChantDecodesWithoutFault)
{
    std::vector<char> bad = chant_;
    for (size_t i = bad.size() / 3; i < bad.size() / 3 + 2000; ++i) bad[i] ^= 0x5A;
    std::string path = Scratch("corrupt", bad);
    OggVorbis_File vf;
    ASSERT_TRUE(OpenMusicSource(path.c_str(), &vf));
    std::vector<int16_t> pcm = DecodeAll(&vf);
    EXPECT_GT(pcm.size(), 0u);
    ov_clear(&vf);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST_F(MusicSource, OpenAndClearLeaveNothingAllocated)
{
    std::vector<char> text(5000, 'x');
    std::string path = Scratch("leak", text);
    auto cycle = [&] {
        OggVorbis_File vf;
        if (OpenMusicSource("res://OMCHANT", &vf)) ov_clear(&vf);
        EXPECT_FALSE(OpenMusicSource(path.c_str(), &vf));
        EXPECT_FALSE(OpenMusicSource("res://NOSUCH", &vf));
    };
    for (int i = 0; i < 5; ++i) cycle();
    // A leaked decoder is tens of kilobytes, a leaked stream record 16 bytes a cycle.
    double growth = HeapGrowthPerRound([&] {
        for (int i = 0; i < 20; ++i) cycle();
    });
    EXPECT_LT(growth, 200) << "bytes left on the heap per 20 cycles";
}

TEST_F(MusicSource, ChantLengthAndHeadroomForThreeVoices)
{
    OggVorbis_File vf;
    ASSERT_TRUE(OpenMusicSource("res://OMCHANT", &vf));
    std::vector<int16_t> pcm = DecodeAll(&vf);
    ov_clear(&vf);
    double seconds = pcm.size() / 44100.0;
    EXPECT_GE(seconds, 7.5);
    EXPECT_LE(seconds, 8.5);  // each voice must be done before its next turn at 9.6 s
    // Three copies 3.2 s apart, summed as the device mixes them, stay below -1 dBFS.
    const size_t step = 3200 * 44100 / 1000;
    double peak = 0;
    for (size_t t = 0; t < pcm.size() + 2 * step; ++t) {
        double sum = 0;
        for (size_t k = 0; k < 3; ++k)
            if (t >= k * step && t - k * step < pcm.size()) sum += pcm[t - k * step];
        peak = std::max(peak, fabs(sum));
    }
    EXPECT_LT(20 * log10(peak / 32768.0), -1.0);
    // Both ends start and finish near silence, so no copy clicks.
    EXPECT_LT(abs(pcm.front()), 100);
    EXPECT_LT(abs(pcm.back()), 100);
}
