#include "effects/LLoudnessMeter.h"

#include "EffectTestSupport.h"
#include "effects/EfNormalizeLoudness.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace EffectTest;

namespace {
constexpr double kFullScale = 524288.0; // internal units of 0 dBFS

// Peak amplitude in internal units of a level in dBFS.
double Amplitude(double dDbfs)
{
    return kFullScale * std::pow(10.0, dDbfs / 20);
}

// A sine of dHz at dDbfs peak on every channel, starting at dPhase, faded
// in and out over 1000 frames (an abrupt edge overshoots between samples).
std::vector<int32_t> Sine(
    int32_t iFrames, int iCh, int32_t iRate, double dHz, double dDbfs, double dPhase = 0)
{
    const double dA = Amplitude(dDbfs);
    return Signal(iFrames, iCh, [=](int32_t f, int) {
        const double dFade = std::min({ 1.0, f / 1000.0, (iFrames - 1 - f) / 1000.0 });
        return int32_t(std::lround(dFade * dA * std::sin(2 * M_PI * dHz * f / iRate + dPhase)));
    });
}

LLoudness Measure(const std::vector<int32_t>& v, int iCh, int32_t iRate, int32_t iPiece = 8192)
{
    LLoudnessMeter meter(iRate, iCh);
    const int32_t iFrames = int32_t(v.size() / size_t(iCh));
    for (int32_t f = 0; f < iFrames; f += iPiece)
        meter.Add(v.data() + size_t(f) * size_t(iCh), std::min(iPiece, iFrames - f));
    return meter.Result();
}

std::vector<int32_t> Joined(std::vector<int32_t> a, const std::vector<int32_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
} // namespace

TEST(LLoudnessMeter, KWeightingAt48kHzIsThePublishedFilter)
{
    const double kPublished[10] = { 1.53512485958697, -2.69169618940638, 1.19839281085285,
        -1.69065929318241, 0.73248077421585, 1.0, -2.0, 1.0, -1.99004745483398, 0.99007225036621 };
    const std::array<double, 10> k = LLoudnessMeter::KWeighting(48000);
    for (int i = 0; i < 10; ++i)
        EXPECT_NEAR(k[size_t(i)], kPublished[i], 1e-8) << "coefficient " << i;
}

TEST(LLoudnessMeter, SinesOfKnownLoudness)
{
    // Stereo at X dBFS is X LUFS, mono 3 dB less; steady: range 0, true peak the amplitude.
    struct Case {
        int32_t iRate;
        int iChannels;
        double dDbfs, dLufs;
    } cases[] = {
        { 44100, 2, -23, -23.0 },
        { 48000, 1, -20, -23.01 },
        { 22050, 2, -30, -30.0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.iRate << " Hz, " << c.iChannels << " channels");
        const LLoudness l
            = Measure(Sine(c.iRate * 5, c.iChannels, c.iRate, 997, c.dDbfs), c.iChannels, c.iRate);
        EXPECT_NEAR(l.dIntegrated, c.dLufs, 0.05);
        EXPECT_NEAR(l.dRange, 0.0, 0.05);
        EXPECT_NEAR(l.dTruePeak, c.dDbfs, 0.05);
    }
}

TEST(LLoudnessMeter, GatesSilenceAndQuietPassages)
{
    const int32_t kRate = 48000;
    const std::vector<int32_t> loud = Sine(kRate * 10, 2, kRate, 1000, -20);
    // Silence is under the absolute gate (the blocks across the edge lower the value by 0.07).
    const LLoudness withSilence
        = Measure(Joined(loud, std::vector<int32_t>(kRate * 20, 0)), 2, kRate);
    EXPECT_NEAR(withSilence.dIntegrated, -20.07, 0.03);
    // 20 dB quieter: under the integrated value's relative gate, above the range's.
    const LLoudness twoLevels
        = Measure(Joined(loud, Sine(kRate * 10, 2, kRate, 1000, -40)), 2, kRate);
    EXPECT_NEAR(twoLevels.dIntegrated, -20.07, 0.03);
    EXPECT_NEAR(twoLevels.dRange, 20.0, 0.2);
    // Nothing over the gate, or shorter than one block: no value.
    EXPECT_FALSE(Measure(std::vector<int32_t>(kRate * 4, 0), 2, kRate).IsMeasured());
    EXPECT_FALSE(Measure(Sine(kRate / 4, 2, kRate, 1000, -20), 2, kRate).IsMeasured());
    EXPECT_FALSE(std::isfinite(Measure(std::vector<int32_t>(kRate * 2, 0), 2, kRate).dTruePeak));
}

TEST(LLoudnessMeter, TruePeakBetweenSamples)
{
    // A quarter-rate sine shifted 45 degrees: every sample 3 dB under its peak.
    for (int32_t iRate : { 44100, 48000 }) {
        const std::vector<int32_t> v = Sine(iRate, 1, iRate, iRate / 4.0, -6, M_PI / 4);
        EXPECT_NEAR(Measure(v, 1, iRate).dTruePeak, -6.0, 0.1) << iRate;
    }
}

TEST(LLoudnessMeter, PiecesDoNotChangeTheResult)
{
    // Noise in bursts: each piece size splits the filters' and interpolator's state elsewhere.
    uint32_t u = 1;
    const std::vector<int32_t> v = Signal(44100 * 7, 2, [&u](int32_t f, int) {
        u = u * 1664525u + 1013904223u;
        const int32_t iNoise = int32_t(u >> 13) - 0x40000;
        return (f / 20000) % 3 == 0 ? iNoise / 16 : iNoise;
    });
    const LLoudness whole = Measure(v, 2, 44100);
    for (int32_t iPiece : { 1, 441, 4410, 5000 }) {
        const LLoudness l = Measure(v, 2, 44100, iPiece);
        EXPECT_NEAR(l.dIntegrated, whole.dIntegrated, 1e-9) << iPiece;
        EXPECT_NEAR(l.dRange, whole.dRange, 1e-9) << iPiece;
        EXPECT_EQ(l.dTruePeak, whole.dTruePeak) << iPiece;
    }
}

TEST(EfNormalizeLoudness, CancelledLeavesTheDocument)
{
    // Reaching the target and the peak limit are measured by ffmpeg in the command line's tests.
    LCutListAudio doc = ListOf(Sine(44100 * 6, 2, 44100, 1000, -30), 2, 44100);
    const std::vector<CutRecord> before = Records(doc);
    EfNormalizeLoudness data { &doc, doc.GetTotalLength(), 0, -16 };
    EXPECT_EQ(RunBody(data, 2), 1);
    EXPECT_EQ(Records(doc), before);
    EXPECT_EQ(RunBody(data), 0);
    EXPECT_NE(Records(doc), before);
}
