#include "effects/LSRCConvertRate.h"

#include "EffectTestSupport.h"
#include "audio/LSRCNull.h"
#include "support/AudioTestSupport.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <vector>

namespace {
constexpr double kPi = 3.14159265358979323846;

using FunctionSource = TestSupport::FnSource;

SourceHandle Sine(int32_t iRate, double dHz, double dAmp, int32_t iLen, int iCh = 1)
{
    return MakeHandle<FunctionSource>(iRate, iCh, iLen, [=](int64_t f, int c) {
        return c == 0 ? int32_t(std::lround(dAmp * 0x7FFF0 * std::sin(2 * kPi * dHz * f / iRate)))
                      : 0;
    });
}

std::vector<int32_t> ReadAll(LSoundSourceBase& src, int32_t iFrames)
{
    return TestSupport::ReadFrames(src, iFrames, 5000);
}

} // namespace

TEST(LSRCConvertRate, LengthIsTheRoundedExactLengthAndToneKeepsItsPitch)
{
    struct Case {
        int32_t iFrom, iTo, iIn, iOut;
    };
    for (Case c : { Case { 44100, 48000, 44100, 48000 }, Case { 44100, 48000, 4410000, 4800000 },
             Case { 8000, 44100, 12345, 68052 }, Case { 48000, 44100, 1001, 920 },
             Case { 22050, 8000, 22051, 8000 },
             // Through the 16 kHz stage: 8000.5 rounds up.
             Case { 48000, 8000, 48003, 8001 } }) {
        SourceHandle h = LSRCConvertRate::OpenSource(Sine(c.iFrom, 1000, 0.5, c.iIn), c.iTo);
        EXPECT_EQ(h->GetLength(), c.iOut)
            << c.iFrom << " -> " << c.iTo << ", " << c.iIn << " frames";
        if (c.iIn == 4410000) { // 100 s: a 0.01 Hz error would be a whole period
            const std::vector<int32_t> v = ReadAll(*h, c.iOut);
            EXPECT_NEAR(TestSupport::CrossingHz(v, 1000, v.size() - 1000, c.iTo), 1000.0, 0.01);
        }
    }
}

TEST(LSRCConvertRate, FactoryPassesThroughOrBuildsStages)
{
    SourceHandle h = Sine(44100, 440, 0.5, 1000);
    EXPECT_EQ(LSRCConvertRate::OpenSource(h, 44100).Get(), h.Get());
    SourceHandle hNull = MakeHandle<LSRCNull>();
    EXPECT_EQ(LSRCConvertRate::OpenSource(hNull, 8000).Get(), hNull.Get());

    SourceHandle hBad = LSRCConvertRate::OpenSource(Sine(8000, 440, 0.5, 1000), 0);
    EXPECT_TRUE(hBad->IsError());
    EXPECT_EQ(hBad->GetSampleRate(), 44100);

    EXPECT_EQ(LSRCConvertRate::OpenSource(h, 48000)->GetPeak(), 2u * 0x7FFF0);
}

TEST(LSRCConvertRate, RemovesWhatTheTargetCannotCarry)
{
    const double dIn = 0.5 * 0x7FFF0 / std::sqrt(2.0);
    // 6 kHz cannot exist at 8000 Hz (through the 16000 Hz stage); what passes
    // is in SineKeepsAmplitudeAndPhaseWithLittleElse.
    SourceHandle hHigh = LSRCConvertRate::OpenSource(Sine(48000, 6000, 0.5, 96000), 8000);
    EXPECT_LT(20 * std::log10(EffectTest::Rms(ReadAll(*hHigh, 16000), 1000, 15000) / dIn), -40.0);
}

TEST(LSRCConvertRate, LengthPositionAndSeek)
{
    SourceHandle h = LSRCConvertRate::OpenSource(Sine(44100, 997, 0.9, 44100, 2), 48000);
    EXPECT_EQ(h->GetLength(), 48000);
    std::vector<int32_t> all = ReadAll(*h, 30000);
    EXPECT_EQ(h->GetPosition(), 30000);
    // The right channel was silence and stays silence.
    for (size_t i = 1; i < all.size(); i += 2)
        ASSERT_EQ(all[i], 0) << i;

    for (int32_t iAt : { 0, 1, 37, 8191, 8192, 20001 }) {
        h->Seek(iAt);
        EXPECT_EQ(h->GetPosition(), iAt);
        std::vector<int32_t> part = ReadAll(*h, 9000);
        for (size_t i = 0; i < part.size(); ++i)
            ASSERT_EQ(part[i], all[size_t(iAt) * 2 + i]) << "seek " << iAt << " sample " << i;
    }
}

TEST(LSRCConvertRate, PortableKernelsGiveTheVectorKernelsBits)
{
    // One to three channels, quiet and loud (a large block shift), one and two stages.
    for (int iCh : { 1, 2, 3 }) {
        for (int32_t iAmp : { 0x7FFF0, 0x30000000 }) {
            for (int32_t iTo : { 48000, 8000 }) {
                auto Convert = [&](bool bVector) {
                    LSRCConvertRate::UseVectorUnit(bVector);
                    SourceHandle h = LSRCConvertRate::OpenSource(
                        MakeHandle<FunctionSource>(44100, iCh, 30000,
                            [=](int64_t f, int c) {
                                return int32_t(iAmp * std::sin(0.01 * double(f * (c + 1))));
                            }),
                        iTo);
                    return ReadAll(*h, h->GetLength());
                };
                std::vector<int32_t> vVector = Convert(true);
                EXPECT_EQ(vVector, Convert(false))
                    << iCh << " channels, peak " << iAmp << ", to " << iTo;
            }
        }
    }
    LSRCConvertRate::UseVectorUnit(true);
}

TEST(LSRCConvertRate, FullScaleAndConstantsDoNotWrap)
{
    // Full-scale square and constant: the block scaling keeps 32-bit sums in range.
    SourceHandle hSquare = LSRCConvertRate::OpenSource(
        MakeHandle<FunctionSource>(
            8000, 1, 16000, [](int64_t f, int) { return (f / 40) % 2 ? 0x7FFF0 : -0x7FFF0; }),
        44100);
    const LRatePhaseTable& t = dynamic_cast<LSRCConvertRate&>(*hSquare).GetTable();
    std::vector<int32_t> sq = ReadAll(*hSquare, 80000);
    for (size_t i = 0; i < sq.size(); ++i) {
        size_t iIn = i * t.GetInStep() / t.GetOutStep();
        if (iIn < 16000 && iIn % 40 > 4 && iIn % 40 < 36) { // away from the edges' ringing
            ASSERT_EQ(sq[i] > 0, (iIn / 40) % 2 == 1) << i;
        }
        ASSERT_LE(std::abs(int64_t(sq[i])), int64_t(hSquare->GetPeak())) << i;
    }
    SourceHandle hDc = LSRCConvertRate::OpenSource(
        MakeHandle<FunctionSource>(44100, 1, 44100, [](int64_t, int) { return 0x40000; }), 32000);
    std::vector<int32_t> dc = ReadAll(*hDc, 32000);
    for (size_t i = 100; i < 31900; ++i)
        ASSERT_NEAR(dc[i], 0x40000, 0x40000 / 100) << i;
}

// Up and down, one and two stages: the best fit of a sine at the tone's
// frequency has its amplitude and the input's phase (no delay), and the rest
// (harmonics, aliases, noise) stays below dMaxRestDb.
TEST(LSRCConvertRate, SineKeepsAmplitudeAndPhaseWithLittleElse)
{
    struct Case {
        int32_t iFrom, iTo;
        double dHz, dMaxRestDb;
    };
    for (Case c : { Case { 44100, 48000, 1000, -70 }, Case { 48000, 8000, 1000, -70 },
             Case { 48000, 44100, 3000, -65 }, Case { 22050, 44100, 5000, -65 },
             Case { 8000, 44100, 400, -65 }, Case { 44100, 41213, 3000, -65 } }) {
        SCOPED_TRACE(testing::Message() << c.iFrom << " -> " << c.iTo);
        SourceHandle h = LSRCConvertRate::OpenSource(Sine(c.iFrom, c.dHz, 0.5, c.iFrom * 3), c.iTo);
        std::vector<int32_t> out = ReadAll(*h, c.iTo * 3);
        // Two seconds from the middle, away from the start's zeros.
        const size_t uFrom = size_t(c.iTo) / 2, uTo = uFrom + size_t(c.iTo) * 2;
        auto Phase = [&](size_t i) { return 2 * kPi * c.dHz * double(i) / c.iTo; };
        double dSin = 0, dCos = 0;
        for (size_t i = uFrom; i < uTo; ++i) {
            dSin += out[i] * std::sin(Phase(i));
            dCos += out[i] * std::cos(Phase(i));
        }
        dSin *= 2.0 / double(uTo - uFrom), dCos *= 2.0 / double(uTo - uFrom);
        double dTone = 0, dRest = 0;
        for (size_t i = uFrom; i < uTo; ++i) {
            const double dFit = dSin * std::sin(Phase(i)) + dCos * std::cos(Phase(i));
            dTone += dFit * dFit;
            dRest += (out[i] - dFit) * (out[i] - dFit);
        }
        const double dDb = 10 * std::log10(dRest / dTone);
        std::printf("%d -> %d: all but the tone %.1f dB, phase %.2g\n", c.iFrom, c.iTo, dDb,
            std::atan2(dCos, dSin));
        EXPECT_NEAR(std::hypot(dSin, dCos), 0.5 * 0x7FFF0, 0.5 * 0x7FFF0 * 0.01);
        EXPECT_NEAR(std::atan2(dCos, dSin), 0.0, 1e-3);
        EXPECT_LT(dDb, c.dMaxRestDb);
    }
}
