// The decoder's byte stream over a memory block: reads never leave the block, whatever
// item size and count the caller passes, and seeks follow the wrap-around rules.
#include "sound/mem_stream.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

namespace {

struct Block {
    std::vector<unsigned char> bytes;
    MemStream* s;
    explicit Block(uint32_t size) : bytes(size)
    {
        for (uint32_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
        s = static_cast<MemStream*>(malloc(sizeof(MemStream)));
        s->pos = 0;
        s->size = size;
        s->data = bytes.data();
    }
    ~Block()
    {
        if (s) free(s);
    }
};

// Destination with a guard area after `room` bytes, to see whether a read overran.
struct Dest {
    std::vector<unsigned char> buf;
    size_t room;
    explicit Dest(size_t room) : buf(room + 64, 0xEE), room(room) {}
    bool GuardIntact() const
    {
        for (size_t i = room; i < buf.size(); ++i)
            if (buf[i] != 0xEE) return false;
        return true;
    }
};

}  // namespace

TEST(MemStream, ReadCopiesInOrderAndAdvances)
{
    Block b(100);
    Dest d(100);
    EXPECT_EQ(MemStreamRead(d.buf.data(), 1, 40, b.s), 40u);
    EXPECT_EQ(MemStreamRead(d.buf.data() + 40, 1, 60, b.s), 60u);
    EXPECT_EQ(memcmp(d.buf.data(), b.bytes.data(), 100), 0);
    EXPECT_EQ(b.s->pos, 100u);
    EXPECT_TRUE(d.GuardIntact());
}

TEST(MemStream, ReadAtEndReturnsNothing)
{
    Block b(10);
    b.s->pos = 10;
    Dest d(0);
    EXPECT_EQ(MemStreamRead(d.buf.data(), 1, 5, b.s), 0u);
    EXPECT_EQ(b.s->pos, 10u);
    EXPECT_TRUE(d.GuardIntact());
}

TEST(MemStream, ReadAcrossEndStopsAtEnd)
{
    Block b(10);
    b.s->pos = 7;
    Dest d(3);
    EXPECT_EQ(MemStreamRead(d.buf.data(), 1, 100, b.s), 3u);
    EXPECT_EQ(b.s->pos, 10u);
    EXPECT_EQ(memcmp(d.buf.data(), b.bytes.data() + 7, 3), 0);
    EXPECT_TRUE(d.GuardIntact());
}

TEST(MemStream, ItemSizeCountsInBytes)
{
    Block b(10);
    Dest d(10);
    // Three items of four bytes ask for 12; the block has 10 and the result counts bytes.
    EXPECT_EQ(MemStreamRead(d.buf.data(), 4, 3, b.s), 10u);
    EXPECT_TRUE(d.GuardIntact());
    Block c(10);
    EXPECT_EQ(MemStreamRead(d.buf.data(), 4, 2, c.s), 8u);
    EXPECT_EQ(c.s->pos, 8u);
}

TEST(MemStream, HugeRequestsNeverLeaveTheBlock)
{
    // Requests whose byte count wraps in 32 bits (pos + n below size again), in 64
    // bits (size * count back to a small number), or is simply enormous.
    const size_t big = static_cast<size_t>(-1);
    struct Case {
        size_t size, count;
    } cases[] = {
        {1, 0xFFFFFFF0u},                                              // pos + n wraps 32 bits
        {0x10000u, 0x10000u},                                          // product is 2^32: zero in 32 bits
        {0x80000001u, 2},                                              // product wraps 32 bits to 2
        {big, big},                                                    // product wraps 64 bits to 1
        {big / 2 + 2, 2},                                              // product wraps 64 bits to 2
        {static_cast<size_t>(1) << 33, static_cast<size_t>(1) << 31},  // 2^64: zero
        {1, big},
        {big, 1},
    };
    for (const Case& c : cases) {
        Block b(200);
        b.s->pos = 100;
        Dest d(100);
        size_t got = MemStreamRead(d.buf.data(), c.size, c.count, b.s);
        SCOPED_TRACE(testing::Message() << c.size << " x " << c.count);
        EXPECT_LE(got, 100u);
        EXPECT_LE(b.s->pos, 200u);
        EXPECT_EQ(b.s->pos, 100u + got);
        EXPECT_EQ(memcmp(d.buf.data(), b.bytes.data() + 100, got), 0);
        EXPECT_TRUE(d.GuardIntact());
    }
}

TEST(MemStream, NullSourceIsRefused)
{
    unsigned char buf[4];
    EXPECT_EQ(MemStreamRead(buf, 1, 4, nullptr), 0u);
    EXPECT_EQ(MemStreamSeek(nullptr, 0, 0), -1);
    EXPECT_EQ(MemStreamTell(nullptr), -1);
    EXPECT_EQ(MemStreamClose(nullptr), -1);
}

TEST(MemStream, SeekFromEachOrigin)
{
    Block b(1000);
    EXPECT_EQ(MemStreamSeek(b.s, 0, 2), 0);
    EXPECT_EQ(MemStreamTell(b.s), 1000);
    EXPECT_EQ(MemStreamSeek(b.s, -10, 2), 0);
    EXPECT_EQ(MemStreamTell(b.s), 990);
    EXPECT_EQ(MemStreamSeek(b.s, 100, 0), 0);
    EXPECT_EQ(MemStreamSeek(b.s, 5, 1), 0);
    EXPECT_EQ(MemStreamTell(b.s), 105);
    EXPECT_EQ(MemStreamSeek(b.s, -5, 1), 0);
    EXPECT_EQ(MemStreamTell(b.s), 100);
    // The decoder's seekability probe.
    EXPECT_EQ(MemStreamSeek(b.s, 0, 1), 0);
    EXPECT_EQ(MemStreamTell(b.s), 100);
}

TEST(MemStream, UnknownWhenceLeavesPosition)
{
    Block b(50);
    b.s->pos = 20;
    EXPECT_EQ(MemStreamSeek(b.s, 3, 3), -1);
    EXPECT_EQ(MemStreamSeek(b.s, 3, -1), -1);
    EXPECT_EQ(b.s->pos, 20u);
}

TEST(MemStream, SeeksOutsideTheBlockReadNothing)
{
    Block b(50);
    unsigned char buf[8] = {};
    // Below the start wraps to just under 2^32, far above size.
    EXPECT_EQ(MemStreamSeek(b.s, -1, 0), 0);
    EXPECT_EQ(b.s->pos, 0xFFFFFFFFu);
    EXPECT_EQ(MemStreamTell(b.s), -1);
    EXPECT_EQ(MemStreamRead(buf, 1, 8, b.s), 0u);
    // Past the end.
    EXPECT_EQ(MemStreamSeek(b.s, 60, 0), 0);
    EXPECT_EQ(MemStreamRead(buf, 1, 8, b.s), 0u);
    // Only the low 32 bits of the offset take part.
    EXPECT_EQ(MemStreamSeek(b.s, (static_cast<int64_t>(1) << 32) + 7, 0), 0);
    EXPECT_EQ(b.s->pos, 7u);
    EXPECT_EQ(MemStreamRead(buf, 1, 1, b.s), 1u);
    EXPECT_EQ(buf[0], b.bytes[7]);
}
