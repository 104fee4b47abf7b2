#include "edit/LSRCCutListAudio.h"
#include "effects/LCutListAudioLoadSource.h"
#include "effects/LEfChangeSpeedPitch.h"
#include "effects/LSRCConvertRate.h"
#include "platform/LSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {
// A sine of dHz inside [0, length), zeros outside.
class Tone : public LSoundSourceBase {
public:
    Tone(int32_t iLen, int iCh, int32_t iRate, double dHz) : LSoundSourceBase(iRate, iCh, 0x7FFF0), iLength(iLen), dHz(dHz) {}
    void Read(int32_t* p, int32_t n) override
    {
        for (int32_t f = 0; f < n; ++f, ++iPos)
            for (int c = 0; c < GetChannels(); ++c)
                *p++ = iPos >= 0 && iPos < iLength
                           ? int32_t(std::lround(0x40000 * std::sin(2 * std::numbers::pi * dHz * iPos / GetSampleRate())))
                           : 0;
    }
    int32_t GetPosition() override { return iPos; }
    int32_t GetLength() override { return iLength; }
    void Seek(int32_t f) override { iPos = f; }
    int32_t iLength, iPos = 0;
    double dHz;
};

LCutListAudio Load(SourceHandle h)
{
    LCutListAudio list;
    LCutListAudioLoadSource load{"Loading", &list, std::move(h)};
    Process<LCutListAudioLoadSource> run("Loading", load);
    EXPECT_TRUE(run.Run());
    return list;
}

std::vector<int32_t> Samples(const LCutListAudio& list)
{
    LSRCCutListAudio src(list);
    std::vector<int32_t> v(size_t(list.GetTotalLength()) * size_t(list.GetChannels()));
    for (int32_t f = 0; f < list.GetTotalLength(); f += kBlockFrames)
        src.Read(v.data() + size_t(f) * size_t(list.GetChannels()), std::min(kBlockFrames, list.GetTotalLength() - f));
    return v;
}

// Rising zero crossings per second over v[uFrom, uTo) of a mono signal.
double Frequency(const std::vector<int32_t>& v, size_t uFrom, size_t uTo, int32_t iRate)
{
    int iCross = 0;
    size_t uFirst = 0, uLast = 0;
    for (size_t i = uFrom + 1; i < uTo; ++i)
        if (v[i - 1] < 0 && v[i] >= 0) {
            if (iCross++ == 0)
                uFirst = i;
            uLast = i;
        }
    return iCross > 1 ? (iCross - 1) * double(iRate) / double(uLast - uFirst) : 0;
}

struct Outcome {
    bool bDone;
    int iResult;
    int32_t iNewEnd;
};

Outcome Change(LCutListAudio& doc, int32_t iStart, int32_t iEnd, int iPercent, int iMode)
{
    LEfChangeSpeedPitch data;
    data.pDoc = &doc;
    data.iStart = iStart;
    data.iEnd = iEnd;
    data.iPercent = iPercent;
    data.iMode = iMode;
    Process<LEfChangeSpeedPitch> run("Speed and Pitch", data);
    bool bDone = run.Run();
    return {bDone, run.GetResult(), data.iNewEnd};
}

// The converter is present when it really changes the rate.
bool HaveRateConverter()
{
    return LSRCConvertRate::OpenSource(MakeHandle<Tone>(100, 1, 22050, 100.0), 44100)->GetSampleRate() == 44100;
}

#define REQUIRE_RATE_CONVERTER()                                                                   \
    do {                                                                                           \
        if (!HaveRateConverter())                                                                  \
            GTEST_SKIP() << "the rate converter still returns its input unchanged";                \
    } while (0)

// 900 Hz: period 49 frames at 44100 Hz, in phase at every grain joint.
constexpr double kHz = 900.0;
} // namespace

TEST(LEfChangeSpeedPitch, ConstantPitchStretchesOnlyTheSelection)
{
    const std::vector<int32_t> before = Samples(Load(MakeHandle<Tone>(50000, 1, 44100, kHz)));
    for (int iPercent : {50, 200, 300, 100}) {
        SCOPED_TRACE(iPercent);
        LCutListAudio doc = Load(MakeHandle<Tone>(50000, 1, 44100, kHz));
        Outcome r = Change(doc, 10000, 30000, iPercent, 1);
        ASSERT_TRUE(r.bDone);
        // Hop 490 x f frames per segment of 490: exactly 20000 / f frames.
        const int32_t iNewLen = 20000 * 100 / iPercent;
        EXPECT_EQ(r.iNewEnd, 10000 + iNewLen);
        EXPECT_EQ(doc.GetTotalLength(), 50000 - 20000 + iNewLen);
        std::vector<int32_t> after = Samples(doc);
        for (size_t i = 0; i < 10000; ++i)
            ASSERT_EQ(after[i], before[i]) << i;
        for (size_t i = 0; i < 20000; ++i)
            ASSERT_EQ(after[size_t(r.iNewEnd) + i], before[30000 + i]) << i;
        EXPECT_NEAR(Frequency(after, 11000, size_t(r.iNewEnd) - 1000, 44100), kHz, kHz * 0.005);
        if (iPercent == 100) {
            EXPECT_EQ(after, before) << "a hop of one segment is the input itself";
        }
    }
}

TEST(LEfChangeSpeedPitch, ConstantSpeedAtFullPercentKeepsDurationAndSamples)
{
    // 2 -> hop factor 1 / 1.0f: the stretch is the identity and the rate
    // stays, so no converter is involved.
    LCutListAudio doc = Load(MakeHandle<Tone>(30000, 2, 44100, kHz));
    const std::vector<int32_t> before = Samples(doc);
    Outcome r = Change(doc, 5000, 25000, 100, 2);
    ASSERT_TRUE(r.bDone);
    EXPECT_EQ(r.iNewEnd, 25000);
    EXPECT_EQ(doc.GetTotalLength(), 30000);
    EXPECT_EQ(Samples(doc), before);
}

TEST(LEfChangeSpeedPitch, CancelAndReversedRangeLeaveTheDocument)
{
    LCutListAudio doc = Load(MakeHandle<Tone>(60000, 1, 44100, kHz));
    const std::vector<int32_t> before = Samples(doc);
    for (int iMode : {0, 1, 2}) {
        LSilentProgressView::SetCancelAfterPumps(2);
        Outcome r = Change(doc, 1000, 50000, 50, iMode);
        LSilentProgressView::SetCancelAfterPumps(0);
        EXPECT_FALSE(r.bDone);
        EXPECT_EQ(r.iResult, 1);
        EXPECT_EQ(r.iNewEnd, 50000);
        EXPECT_EQ(doc.GetTotalLength(), 60000);
        EXPECT_EQ(Samples(doc), before);
    }
    Outcome r = Change(doc, 5000, 4000, 50, 1);
    EXPECT_TRUE(r.bDone) << "a reversed range completes without change";
    EXPECT_EQ(r.iNewEnd, 4000);
    EXPECT_EQ(Samples(doc), before);
    EXPECT_EQ(Change(doc, 1000, 5000, 50, 3).iResult, 2) << "no such mode";
    EXPECT_EQ(Samples(doc), before);
}

TEST(LEfChangeSpeedPitch, SimpleChangeScalesDurationAndPitchTogether)
{
    REQUIRE_RATE_CONVERTER();
    for (int iPercent : {50, 200}) {
        SCOPED_TRACE(iPercent);
        const double f = iPercent * 0.01;
        LCutListAudio doc = Load(MakeHandle<Tone>(60000, 1, 44100, 441.0));
        Outcome r = Change(doc, 10000, 50000, iPercent, 0);
        ASSERT_TRUE(r.bDone);
        EXPECT_EQ(doc.GetSampleRate(), 44100);
        EXPECT_NEAR(r.iNewEnd - 10000, 40000 / f, 40000 / f * 0.01);
        EXPECT_EQ(doc.GetTotalLength(), 20000 + r.iNewEnd - 10000);
        std::vector<int32_t> after = Samples(doc);
        EXPECT_NEAR(Frequency(after, 11000, size_t(r.iNewEnd) - 1000, 44100), 441.0 * f, 441.0 * f * 0.01);
    }
}

TEST(LEfChangeSpeedPitch, ConstantSpeedScalesPitchOnly)
{
    REQUIRE_RATE_CONVERTER();
    for (int iPercent : {50, 200}) {
        SCOPED_TRACE(iPercent);
        const double f = iPercent * 0.01;
        LCutListAudio doc = Load(MakeHandle<Tone>(60000, 1, 44100, 441.0));
        Outcome r = Change(doc, 10000, 50000, iPercent, 2);
        ASSERT_TRUE(r.bDone);
        EXPECT_NEAR(r.iNewEnd, 50000, 40000 * 0.01);
        std::vector<int32_t> after = Samples(doc);
        // The stretch's grain joints slip the phase by up to half a cycle 90
        // times a second of stretched audio, f x 90 after the resampling.
        EXPECT_NEAR(Frequency(after, 11000, size_t(r.iNewEnd) - 1000, 44100), 441.0 * f, 45.0 * f + 2);
    }
}
