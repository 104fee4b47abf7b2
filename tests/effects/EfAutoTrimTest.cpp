#include "effects/EfAutoTrim.h"

#include "EffectTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace EffectTest;

namespace {
// A 441 Hz tone of the given peak over [iFrom, iTo), quiet noise elsewhere.
std::vector<int32_t> ToneBetween(
    int32_t iFrames, int iCh, int32_t iFrom, int32_t iTo, int32_t iPeak)
{
    return Signal(iFrames, iCh, [=](int32_t f, int c) {
        if (f >= iFrom && f < iTo)
            return int32_t(std::lround(iPeak * std::sin(2 * M_PI * f / 100.0 + c)));
        return int32_t((f * 7 + c) % 2001) - 1000; // about -54 dB
    });
}
} // namespace

TEST(EfAutoTrim, KeepsTheLoudPartInWholeBlocks)
{
    // Tone from 10000 to 30000 of 40000 frames: the first loud block is 39
    // (from 9984), the last 117 (to 30208).
    std::vector<int32_t> in = ToneBetween(40000, 2, 10000, 30000, 0x60000);
    LCutListAudio doc = ListOf(in, 2);
    int32_t iStart = -1, iEnd = -1;
    AutoTrimRange(doc, -20, &iStart, &iEnd);
    EXPECT_EQ(iStart, 38 * 256);
    EXPECT_EQ(iEnd, 118 * 256);

    EfAutoTrim trim { &doc, -20 };
    EXPECT_EQ(RunBody(trim), 0);
    ASSERT_EQ(doc.GetTotalLength(), 118 * 256 - 38 * 256);
    std::vector<int32_t> out = Samples(doc);
    EXPECT_EQ(std::vector<int32_t>(out.begin(), out.begin() + 20),
        std::vector<int32_t>(in.begin() + 2 * 38 * 256, in.begin() + 2 * 38 * 256 + 20));
    EXPECT_EQ(out.back(), in[2 * 118 * 256 - 1]);
}

TEST(EfAutoTrim, AllBelowTheThresholdOrSilentKeepsTheWholeFile)
{
    // At 0 dB the level is the peak itself, which nothing exceeds.
    LCutListAudio doc = ListOf(ToneBetween(20000, 1, 5000, 15000, 0x60000), 1);
    auto before = Records(doc);
    EfAutoTrim flat { &doc, 0 };
    EXPECT_EQ(RunBody(flat), 0);
    EXPECT_EQ(Records(doc), before);

    LCutListAudio silent = ListOf(std::vector<int32_t>(20000, 0), 1);
    silent.EfInsertSilence(0, 3000);
    EfAutoTrim quiet { &silent, -20 };
    EXPECT_EQ(RunBody(quiet), 0);
    EXPECT_EQ(silent.GetTotalLength(), 23000);
}

TEST(EfAutoTrim, WeighsEachCutByItsGainWithoutWrapping)
{
    // First half at 0.6 of full scale raised 200 % (its bytes would pass
    // 255), second half at 0.5 unchanged. At -3 dB of the peak only the
    // raised half counts; a wrapped byte would make the second half loudest.
    std::vector<int32_t> a = ToneBetween(10240, 1, 0, 10240, int32_t(0.6 * 0x7FFF0));
    std::vector<int32_t> b = ToneBetween(10240, 1, 0, 10240, int32_t(0.5 * 0x7FFF0));
    LCutListAudio doc = ListOf(a, 1);
    doc.EfAmplify(0, 10240, 200);
    doc.EfInsert(10240, ListOf(b, 1));
    int32_t iStart, iEnd;
    AutoTrimRange(doc, -3, &iStart, &iEnd);
    EXPECT_EQ(iStart, 0);
    EXPECT_EQ(iEnd, 10240);

    // Lowered to 5 % (-26 dB), the second half falls below -20 dB of the
    // first; a silent cut in between counts as silence.
    LCutListAudio doc2 = ListOf(a, 1);
    LCutListAudio quiet = ListOf(b, 1);
    quiet.EfAmplifyAll(5);
    doc2.EfInsertSilence(10240, 2560);
    doc2.EfInsert(12800, quiet);
    AutoTrimRange(doc2, -20, &iStart, &iEnd);
    EXPECT_EQ(iEnd, 10240);
    AutoTrimRange(doc2, -40, &iStart, &iEnd);
    EXPECT_EQ(iEnd, 12800 + 10240) << "loud to the end";
}
