#include "audio/LSoundTime.h"

#include "audio/LSampleConvert.h"

#include <gtest/gtest.h>
#include <vector>

TEST(LSoundTime, TextFormsRoundAndCarry)
{
    EXPECT_EQ(LSoundTime(3599995).GetHundredthsText(), "1:00:00.00");
    EXPECT_EQ(LSoundTime(3599995).GetMillisecondsText(), "0:59:59.995");
    EXPECT_EQ(LSoundTime(-1500).GetHundredthsText(), "-0:00:01.50");
    EXPECT_EQ(LSoundTime(0).GetHundredthsText(), "0:00:00.00");
    EXPECT_EQ(LSoundTime(61234).GetMillisecondsText(), "0:01:01.234");
    LSoundTime t(77);
    t.SetSamples(1000, 0);
    EXPECT_EQ(t.GetMilliseconds(), 77);
    // Split arithmetic: no overflow for the largest frame counts.
    t.SetSamples(2147483647, 44100);
    EXPECT_EQ(t.GetMilliseconds(), 48695774);
    t.SetSamples(22050, 44100);
    EXPECT_EQ(t.GetMilliseconds(), 500);
}

TEST(LSampleConvert, FullScaleAndWrapping)
{
    const uint8_t pcm[] = { 0xFF, 0x7F, 0x00, 0x80, 0x01, 0x00, 0xFF, 0xFF };
    int32_t internal[4];
    LSampleConvert::Pcm16ToInternal(pcm, internal, 4);
    EXPECT_EQ(internal[0], 0x7FFF0);
    EXPECT_EQ(internal[1], -0x80000);
    EXPECT_EQ(internal[2], 16);
    EXPECT_EQ(internal[3], -16);
    uint8_t back[8];
    LSampleConvert::InternalToPcm16(internal, back, 4);
    EXPECT_EQ(std::vector<uint8_t>(back, back + 8), std::vector<uint8_t>(pcm, pcm + 8));
    EXPECT_EQ(LSampleConvert::ToPcm16(0x7FFF8), -32768) << "no saturation";
    EXPECT_EQ(LSampleConvert::ToPcm16(INT32_MAX), 0) << "wraps, no UB";
    EXPECT_EQ(LSampleConvert::ToPcm8(0x7FFF0), 255) << "full scale stays at the top";
    EXPECT_EQ(LSampleConvert::ToPcm8Signed(0x7F800), 127);
    EXPECT_EQ(LSampleConvert::ToPcm8(0x7F7FF), 255);
    EXPECT_EQ(LSampleConvert::ToPcm8(-0x80000), 0);
    // Block forms equal the single-sample forms across the tail.
    std::vector<int32_t> v;
    for (int i = 0; i < 29; ++i)
        v.push_back(i * 40503 - 600000);
    std::vector<uint8_t> b8(29), b16(58);
    LSampleConvert::InternalToPcm8(v.data(), b8.data(), 29);
    LSampleConvert::InternalToPcm16(v.data(), b16.data(), 29);
    for (size_t i = 0; i < 29; ++i) {
        EXPECT_EQ(b8[i], LSampleConvert::ToPcm8(v[i]));
        EXPECT_EQ(int16_t(b16[2 * i] | b16[2 * i + 1] << 8), LSampleConvert::ToPcm16(v[i]));
    }
}

TEST(LSoundTime, ParsesWhatItShowsAndPlainMilliseconds)
{
    struct Case {
        const char* sz;
        int32_t iMs;
    };
    for (Case c : { Case { "1500", 1500 }, Case { "0", 0 }, Case { "0:00:01.50", 1500 },
             Case { "1:02:03.004", 3723004 }, Case { "2:05.25", 125250 }, Case { "3.5", 3500 },
             Case { "0:00:00.001", 1 }, Case { "59", 59 } }) {
        int32_t iMs = -1;
        EXPECT_TRUE(LSoundTime::ParseText(c.sz, iMs)) << c.sz;
        EXPECT_EQ(iMs, c.iMs) << c.sz;
    }
    for (int32_t iMs : { 0, 999, 61001, 3723004 }) {
        int32_t iBack = -1;
        ASSERT_TRUE(LSoundTime::ParseText(LSoundTime(iMs).GetMillisecondsText(), iBack));
        EXPECT_EQ(iBack, iMs);
    }
    for (const char* sz :
        { "", "-5", "1:60", "1:2:3:4", "1.", "x", "1:60:00", "99999999999", "1.2.3", ":5" }) {
        int32_t iMs = 7;
        EXPECT_FALSE(LSoundTime::ParseText(sz, iMs)) << sz;
    }
}
