#include "EffectTestSupport.h"
#include "audio/LWaveFile.h"
#include "effects/LEffectTable.h"
#include "effects/LSRCEcho.h"
#include "effects/LSRCLowCutFilter.h"
#include "effects/LSRCReverb.h"
#include "support/AudioTestSupport.h"
#include "support/TestSupport.h"

#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

using TestSupport::FnSource;
using TestSupport::ReadFrames;

namespace {
// Random samples up to iPeak, the same for every read of a frame.
LHandle<FnSource> Noise(int32_t iLen, int iCh, int32_t iRate, int32_t iPeak)
{
    return MakeHandle<FnSource>(iRate, iCh, iLen, [iPeak](int64_t f, int c) {
        uint32_t u = uint32_t(f * 2654435761u + uint32_t(c) * 40503u);
        u ^= u >> 13;
        u *= 0x5bd1e995u;
        u ^= u >> 15;
        return int32_t(int64_t(u % (2u * uint32_t(iPeak) + 1)) - iPeak);
    });
}

// The echo the plain way: one interleaved sample after the other, products in 64 bits.
std::vector<int32_t> EchoReference(std::vector<int32_t> v, size_t uDelay, int32_t iPercent)
{
    const int64_t g = iPercent * 256 / 100;
    std::vector<int64_t> line(uDelay, 0);
    for (size_t i = 0; i < v.size(); ++i) {
        const int64_t y = v[i] + ((line[i % uDelay] * g) >> 8);
        line[i % uDelay] = y;
        v[i] = int32_t(y);
    }
    return v;
}

std::vector<int32_t> ReverbReference(std::vector<int32_t> v, size_t uLen, int32_t iPercent)
{
    const double V = double(iPercent * 512 / 100);
    const int64_t g[5] = { int64_t(V * 0.4), int64_t(V * 0.1), int64_t(V * 0.3), int64_t(V * 0.07),
        int64_t(V * 0.13) };
    size_t r[4] = { size_t(double(uLen) * 0.7413), size_t(double(uLen) * 0.5581),
        size_t(double(uLen) * 0.3823), size_t(double(uLen) * 0.211) };
    std::vector<int64_t> line(uLen, 0);
    size_t w = 0;
    for (int32_t& x : v) {
        int64_t y = x;
        for (int k = 0; k < 4; ++k) {
            y += (line[r[k]] * g[k]) >> 9;
            r[k] = (r[k] + 1) % uLen;
        }
        y += (line[w] * g[4]) >> 9;
        line[w] = y;
        w = (w + 1) % uLen;
        x = int32_t(y);
    }
    return v;
}

} // namespace

TEST(LSRCEcho, ImpulseGivesHalvingEchoesAtTheDelayAndMatchesThePlainLoop)
{
    struct Case {
        int32_t iRate;
        int iCh;
        int32_t iMs, iPercent;
        size_t uDelay; // interleaved samples
    };
    const Case aCases[] = {
        { 8000, 1, 1, 50, 128 }, // below the minimum delay
        { 44100, 2, 10, 50, 882 },
        { 22050, 1, 800, 0, 17640 },
        { 48000, 2, 3000, 99, 288000 },
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << c.iRate << " Hz " << c.iMs << " ms " << c.iPercent);
        EXPECT_EQ(LSRCEcho::DelaySamples(c.iMs, c.iRate, c.iCh), c.uDelay);
        const int32_t iFrames = int32_t(4 * c.uDelay / size_t(c.iCh) + 100);
        auto hImpulse = MakeHandle<FnSource>(c.iRate, c.iCh, iFrames,
            [](int64_t f, int ch) { return f == 0 ? 0x10000 * (ch + 1) : 0; });
        LSRCEcho echo(hImpulse, c.iMs, c.iPercent);
        std::vector<int32_t> v = ReadFrames(echo, iFrames, 777);
        // Whole-frame delay, each channel its own echo: 1/2, 1/4, 1/8 exactly at 50 %.
        EXPECT_EQ(v[1], c.iCh == 2 ? 0x20000 : 0);
        if (c.iPercent == 50) {
            EXPECT_EQ(v[c.uDelay], 0x8000);
            EXPECT_EQ(v[3 * c.uDelay], 0x2000);
        }
        // Loud noise (32-bit products overflow) in odd pieces is the plain loop; a seek starts
        // afresh.
        auto hNoise = Noise(iFrames, c.iCh, c.iRate, 0x400000);
        LSRCEcho loud(hNoise, c.iMs, c.iPercent);
        const std::vector<int32_t> ref
            = EchoReference(ReadFrames(*hNoise, iFrames), c.uDelay, c.iPercent);
        hNoise->Seek(0);
        EXPECT_EQ(ReadFrames(loud, iFrames, 1001), ref);
        loud.Seek(0);
        EXPECT_EQ(ReadFrames(loud, iFrames, 8192), ref);
    }
}

TEST(LSRCReverb, TapsLevelZeroAndDecay)
{
    // Level 0 passes the audio bit for bit, at any time.
    auto hNoise = Noise(20000, 2, 44100, 0x7FFF0);
    const std::vector<int32_t> in = ReadFrames(*hNoise, 20000);
    hNoise->Seek(0);
    LSRCReverb off(hNoise, 0, 300);
    EXPECT_EQ(ReadFrames(off, 20000), in);

    struct Case {
        int32_t iRate;
        int iCh;
        int32_t iPercent, iMs;
    };
    for (const Case& c : { Case { 8000, 1, 100, 50 }, Case { 44100, 2, 70, 1000 },
             Case { 11025, 2, 100, 50 }, Case { 48000, 1, 37, 333 } }) {
        SCOPED_TRACE(testing::Message() << c.iRate << " Hz " << c.iPercent << " % " << c.iMs);
        const size_t uLen = LSRCEcho::DelaySamples(c.iMs, c.iRate, c.iCh);
        const int32_t iFrames = int32_t(6 * uLen / size_t(c.iCh));
        auto hLoud = Noise(iFrames, c.iCh, c.iRate, 0x400000);
        const std::vector<int32_t> ref
            = ReverbReference(ReadFrames(*hLoud, iFrames), uLen, c.iPercent);
        hLoud->Seek(0);
        LSRCReverb reverb(hLoud, c.iPercent, c.iMs);
        EXPECT_EQ(ReadFrames(reverb, iFrames, 999), ref);
    }

    // 8000 Hz mono, 50 ms: a line of 400 samples, taps 104, 177, 248, 316
    // and 400 samples late with 204, 51, 153, 35 and 66 / 512 at level 100.
    auto hImpulse
        = MakeHandle<FnSource>(8000, 1, 40000, [](int64_t f, int) { return f == 0 ? 0x40000 : 0; });
    LSRCReverb reverb(hImpulse, 100, 50);
    std::vector<int32_t> v = ReadFrames(reverb, 40000);
    for (auto [iAt, iGain] :
        { std::pair { 104, 204 }, { 177, 51 }, { 248, 153 }, { 316, 35 }, { 400, 66 } })
        EXPECT_EQ(v[size_t(iAt)], (0x40000 * iGain) >> 9) << iAt;
}

TEST(LSRCLowCutFilter, StepAttenuationAndNegativeFrequency)
{
    // Coefficients: truncation of (1 - exp(-2 pi f / rate)) x 256.
    for (auto [iHz, iRate, iA] : { std::tuple { 250, 44100, 8 }, { 1000, 8000, 139 },
             { 5, 44100, 0 }, { -250, 44100, 0 }, { 20000, 44100, 241 } })
        EXPECT_EQ(LSRCLowCutFilter::Coefficient(iHz, iRate), iA) << iHz << " Hz at " << iRate;

    // A step starts at its height and decays towards 0.
    auto hStep = MakeHandle<FnSource>(
        44100, 2, 3000, [](int64_t, int c) { return c ? -0x40000 : 0x7FFF0; });
    LSRCLowCutFilter step(hStep, 250);
    EXPECT_EQ(step.GetPeak(), 2u * kInternalFullScale);
    std::vector<int32_t> v = ReadFrames(step, 3000, 500);
    EXPECT_EQ(v[0], 0x7FFF0);
    EXPECT_EQ(v[1], -0x40000);
    EXPECT_LT(std::abs(v[2999 * 2]), 300);
    EXPECT_LT(std::abs(v[2999 * 2 + 1]), 300);

    // A negative frequency passes the audio instead of growing without bound.
    auto hNoise = Noise(5000, 1, 44100, 0x7FFF0);
    const std::vector<int32_t> in = ReadFrames(*hNoise, 5000);
    hNoise->Seek(0);
    LSRCLowCutFilter negative(hNoise, -1000);
    EXPECT_EQ(ReadFrames(negative, 5000), in);

    // Attenuation on sines against the one-pole response |1 - z^-1| / |1 - p z^-1|, p = 1 - a /
    // 256.
    const double p = 1.0 - 8.0 / 256.0;
    for (double dHz : { 30.0, 100.0, 250.0, 1000.0, 5000.0 }) {
        LSRCLowCutFilter hp(TestSupport::SineSource(44100, 1, 44100, dHz, 0x40000), 250);
        const double dGain
            = EffectTest::Rms(ReadFrames(hp, 44100), 4410, 44100) / (0x40000 / std::sqrt(2.0));
        const std::complex<double> z = std::polar(1.0, 2 * std::numbers::pi * dHz / 44100);
        const double dExpect = std::abs((1.0 - 1.0 / z) / (1.0 - p / z));
        EXPECT_NEAR(20 * std::log10(dGain), 20 * std::log10(dExpect), 0.05) << dHz << " Hz";
    }
}

TEST(LSRCLowCutFilter, MatchesSoxOnePoleHighPassAtTheSamePole)
{
    REQUIRE_PEER("sox");
    TestSupport::TempDir dir;
    // sox's one-pole high-pass has the pole exp(-2 pi f / rate) and the gain
    // (1 + pole) / 2; ours has the pole 1 - a / 256 and gain 1. At the
    // frequency that gives sox our pole the two differ by that gain only.
    const int32_t iA = LSRCLowCutFilter::Coefficient(250, 44100);
    const double p = 1.0 - iA / 256.0;
    const double dSoxHz = -44100.0 * std::log(p) / (2 * std::numbers::pi);
    for (double dHz : { 40.0, 250.0, 2000.0 }) {
        SCOPED_TRACE(testing::Message() << dHz << " Hz");
        const std::string strIn = dir.File("in.wav"), strOut = dir.File("out.wav");
        ASSERT_EQ(TestSupport::Run({ "sox", "-n", "-r", "44100", "-c", "1", "-b", "16", strIn,
                      "synth", "1", "sine", std::to_string(dHz), "gain", "-6" }),
            0);
        ASSERT_EQ(TestSupport::Run(
                      { "sox", "-D", strIn, strOut, "highpass", "-1", std::to_string(dSoxHz) }),
            0);
        LSRCLowCutFilter ours(LWaveFile::OpenSource(strIn), 250);
        SourceHandle hSox = LWaveFile::OpenSource(strOut);
        ASSERT_FALSE(hSox->IsError());
        const double dOurs = EffectTest::Rms(ReadFrames(ours, 44100), 4410, 44100);
        const double dSox = EffectTest::Rms(ReadFrames(*hSox, 44100), 4410, 44100);
        EXPECT_NEAR(20 * std::log10(dOurs / dSox), -20 * std::log10((1 + p) / 2), 0.05);
    }
}

TEST(LEffectTable, FactoryRowsRenderTheSelectionAndRefuseAReversedOne)
{
    using namespace EffectTest;
    const std::vector<int32_t> samples
        = Signal(30000, 2, [](int32_t f, int c) { return ((f * 37 + c * 11) % 2000 - 1000) * 64; });
    // One row stands for all: each differs only in its factory, run whole in CliEdit.
    const LEffect* pEffect = FindEffect("Echo");
    ASSERT_NE(pEffect, nullptr);
    ASSERT_TRUE(pEffect->fnFactory && pEffect->szRunText);
    LCutListAudio doc = ListOf(samples, 2);
    LDialogValues values;
    for (const LValueField& f : pEffect->form)
        values.Set(f.szKey, f.iDefault);
    LEffectRun run { pEffect, &doc, 5000, 25000, values };
    EXPECT_EQ(RunBody(run), 0);
    // The selection, read from its start through the factory's source.
    auto hRange = MakeHandle<FnSource>(44100, 2, 20000,
        [&](int64_t f, int c) { return samples[size_t(f + 5000) * 2 + size_t(c)]; });
    std::vector<int32_t> expect(samples.begin(), samples.begin() + 10000);
    SourceHandle hEffect = pEffect->fnFactory(values)->Open(hRange);
    const std::vector<int32_t> range = ReadFrames(*hEffect, 20000);
    expect.insert(expect.end(), range.begin(), range.end());
    expect.insert(expect.end(), samples.begin() + 50000, samples.end());
    EXPECT_EQ(Samples(doc), expect);
    const auto before = Records(doc);
    LEffectRun reversed { pEffect, &doc, 900, 800, values };
    EXPECT_EQ(RunBody(reversed), 2);
    EXPECT_EQ(Records(doc), before);
}
