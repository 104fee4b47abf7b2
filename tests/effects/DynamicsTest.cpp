#include "EffectTestSupport.h"
#include "effects/LEffectTable.h"
#include "effects/LMeanSquareLevel.h"
#include "effects/LSRCCompressor.h"
#include "effects/LSRCNoiseGates.h"
#include "support/AudioTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace EffectTest;
using TestSupport::FnSource;
using TestSupport::ReadFrames;

namespace {
constexpr int32_t kRate = 44100;

// A sine of the given peak on every channel, from frame 0 to iLen.
LHandle<FnSource> Tone(int32_t iLen, int iCh, double dHz, double dPeak,
    std::function<double(int64_t)> fnEnvelope = nullptr)
{
    return MakeHandle<FnSource>(kRate, iCh, iLen, [=](int64_t f, int) {
        const double e = fnEnvelope ? fnEnvelope(f) : 1.0;
        return int32_t(std::lround(e * dPeak * std::sin(2 * M_PI * dHz * double(f) / kRate)));
    });
}

// The amplitude of dHz in a mono signal over [iFrom, iTo).
double AmplitudeAt(const std::vector<int32_t>& v, double dHz, int32_t iFrom, int32_t iTo)
{
    double re = 0, im = 0;
    for (int32_t f = iFrom; f < iTo; ++f) {
        re += v[size_t(f)] * std::cos(2 * M_PI * dHz * f / kRate);
        im += v[size_t(f)] * std::sin(2 * M_PI * dHz * f / kRate);
    }
    return 2 * std::hypot(re, im) / (iTo - iFrom);
}
} // namespace

TEST(Dynamics, CurvesAndBandThresholdsMatchTheirDefinitions)
{
    // 1:1 is unity at every level, whatever the threshold.
    for (int iThreshold : { -127, -20, 0, 60 })
        for (int32_t g : CompressorCurve(iThreshold, 1.0, 127))
            ASSERT_EQ(g, 0x1000000) << iThreshold;
    // -20 at 2:1: +10 dB below the threshold, half a dB less per dB up to 0 dB.
    const LGainCurve half = CompressorCurve(-20, CompressorRatioList()[2].dFactor, 127);
    EXPECT_NEAR(half[-40 + 128], 53054215, 2);
    EXPECT_NEAR(half[-10 + 128], 16777216 * std::pow(10.0, 0.25), 2);
    EXPECT_EQ(half[128], 0x1000000);
    EXPECT_NEAR(half[20 + 128], 16777216 * std::pow(10.0, -0.5), 2);
    // A make-up gain beyond 42 dB is held at the largest (32 bits would wrap it negative).
    for (int32_t g : CompressorCurve(-127, CompressorRatioList()[6].dFactor, 127))
        EXPECT_GT(g, 0);
    EXPECT_EQ(CompressorCurve(-60, CompressorRatioList()[6].dFactor, 127)[-70 + 128], 0x7FFFFFFF);

    EXPECT_EQ(LSRCNoiseGates::BandCoefficients(0), LSRCNoiseGates::Coefficients {});
    // Band thresholds: 65536 x 10^(-level / 20) through the amplitude table;
    // -127 dB (silence in the table) is held at -126 instead of dividing by 0.
    const std::pair<int, int64_t> kThresholds[] = { { 0, 65536 }, { -30, 2072430 }, { 12, 16461 },
        { -126, 137438953472 }, { -127, 137438953472 } };
    for (const auto& [iLevel, iThreshold] : kThresholds)
        EXPECT_EQ(LSRCNoiseGates::BandThreshold(iLevel), iThreshold) << iLevel;
}

TEST(Dynamics, BlockLevelIsExactForAnyInput)
{
    // A sine peaking at 0x20000 is 0 dB; squares of full 32-bit samples average exactly.
    const std::vector<int32_t> sine = ReadFrames(*Tone(44100, 1, 441, 0x20000), 44100);
    EXPECT_EQ(MeanSquareLevelDb(sine.data(), sine.size()), 0);
    const std::vector<int32_t> extremes = { INT32_MIN, INT32_MAX, INT32_MIN, 0 };
    const uint64_t u = uint64_t(1) << 52, v = uint64_t(INT32_MAX >> 5) * uint64_t(INT32_MAX >> 5);
    EXPECT_EQ(MeanSquare(extremes.data(), 4), (2 * u + v) / 4);
    EXPECT_EQ(MeanSquareLevelDb(extremes.data(), 4), 86);
    EXPECT_EQ(MeanSquareLevelDb(extremes.data(), 0), -127);
}

TEST(Dynamics, CompressorPassesOneToOneBitForBitAndRaisesQuietPassages)
{
    // Varying level, stereo: at 1:1 every sample comes out as it went in.
    auto hVarying = MakeHandle<FnSource>(kRate, 2, 100000, [](int64_t f, int c) {
        return int32_t((f * 7919 + c * 131) % 200001 - 100000) / int32_t(1 + f / 9000);
    });
    for (int iThreshold : { -60, 0, 30 }) {
        LSRCCompressor one(hVarying, iThreshold, 1.0, 45);
        const std::vector<int32_t> out = ReadFrames(one, 100000, 777);
        for (int32_t f = 0; f < 100000; f += 37)
            ASSERT_EQ(out[size_t(f) * 2 + 1], hVarying->Value(f, 1)) << iThreshold << " " << f;
        EXPECT_EQ(one.GetPosition(), 100000);
        hVarying->Seek(0);
    }

    // -20 at 2:1 over 2 s at -30 dB, then 2 s at 0 dB: the quiet part 10 dB up, the loud at unity.
    auto hSteps = Tone(4 * kRate, 1, 441, 0x20000,
        [](int64_t f) { return f < 2 * kRate ? std::pow(10.0, -1.5) : 1.0; });
    const double dHalf = CompressorRatioList()[2].dFactor;
    LSRCCompressor comp(hSteps, -20, dHalf, 45);
    const std::vector<int32_t> in = ReadFrames(*hSteps, 4 * kRate);
    hSteps->Seek(0);
    const std::vector<int32_t> out = ReadFrames(comp, 4 * kRate);
    EXPECT_NEAR(Rms(out, 22050, 66150) / Rms(in, 22050, 66150), std::sqrt(10.0), 0.03);
    EXPECT_NEAR(Rms(out, 110250, 154350) / Rms(in, 110250, 154350), 1.0, 0.005);
    // Its last window too: the silence after the end raises nothing.
    EXPECT_NEAR(Rms(out, 174400, 176400) / Rms(in, 174400, 176400), 1.0, 0.005);

    // Through the effect's row: a ratio index one past the list does nothing.
    for (int32_t iRatio : { 7, 6 }) {
        LCutListAudio doc = ListOf(ReadFrames(*Tone(20000, 1, 441, 4145), 20000), 1);
        const std::vector<CutRecord> before = Records(doc);
        LEffectRun run { FindEffect("Dynamic Range Compressor"), &doc, 0, 20000, {} };
        run.values.Set("CompressorThreshold", -20);
        run.values.Set("CompressorRatio", iRatio);
        EXPECT_EQ(RunBody(run), 0);
        EXPECT_EQ(Records(doc) == before, iRatio == 7) << iRatio;
    }

    // Make-up beyond 42 dB: the clamped gain (128x) holds its sign (a 32-bit release step wrapped).
    auto hFaint = Tone(kRate, 1, 441, 64);
    LSRCCompressor loudest(hFaint, -60, CompressorRatioList()[6].dFactor, 45);
    const std::vector<int32_t> faint = ReadFrames(loudest, kRate);
    for (int32_t f = 4000; f < kRate - 4000; f += 101)
        ASSERT_NEAR(faint[size_t(f)], 128.0 * hFaint->Value(f, 0), 130) << f;
}

TEST(Dynamics, NoiseGatesKeepSilenceAndOpenOnlyTheLoudBand)
{
    auto hSilence = MakeHandle<FnSource>(kRate, 2, kRate, [](int64_t, int) { return 0; });
    for (int32_t s : ReadFrames(*OpenNoiseReduction(hSilence, -30), kRate))
        ASSERT_EQ(s, 0);

    // A loud tone in band 1 (150 Hz) or 4 (6 kHz) opens its gate; a faint one in the other stays
    // shut.
    struct Case {
        double dLoudHz, dLoudPeak, dFaintHz;
    };
    for (const Case& c : { Case { 150, 12000, 6000 }, Case { 6000, 9000, 150 } }) {
        auto hMix = MakeHandle<FnSource>(kRate, 1, kRate, [c](int64_t f, int) {
            const double t = double(f) / kRate;
            return int32_t(std::lround(c.dLoudPeak * std::sin(2 * M_PI * c.dLoudHz * t)
                + 1000 * std::sin(2 * M_PI * c.dFaintHz * t)));
        });
        const std::vector<int32_t> out = ReadFrames(*OpenNoiseReduction(hMix, -30), kRate);
        const double dLoud = AmplitudeAt(out, c.dLoudHz, 11025, 33075) / c.dLoudPeak;
        const double dFaint = AmplitudeAt(out, c.dFaintHz, 11025, 33075) / 1000;
        EXPECT_GT(dLoud, 0.05) << c.dLoudHz;
        EXPECT_LT(dFaint * 10, dLoud) << c.dLoudHz;
    }
    // Levels below the table run (thresholds held); an upstream in error is handed back.
    auto hTone = Tone(kRate, 1, 700, 0x20000);
    const std::vector<int32_t> open = ReadFrames(*OpenNoiseReduction(hTone, -127), kRate);
    EXPECT_NEAR(AmplitudeAt(open, 700, 11025, 33075), 0x20000, 0x20000 * 0.1);
    SourceHandle hBroken = MakeHandle<FnSource>(0, 1, 10, [](int64_t, int) { return 1; });
    ASSERT_TRUE(hBroken->IsError());
    EXPECT_EQ(OpenNoiseReduction(hBroken, -30).Get(), hBroken.Get());
}
