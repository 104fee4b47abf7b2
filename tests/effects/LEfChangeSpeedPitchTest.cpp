#include "effects/LEfChangeSpeedPitch.h"

#include "EffectTestSupport.h"
#include "effects/LSRCConvertRate.h"
#include "platform/LSettings.h"
#include "support/AudioTestSupport.h"

#include <gtest/gtest.h>
#include <vector>

using namespace EffectTest;
using TestSupport::CrossingHz;

namespace {
// A document loaded from a sine of dHz.
LCutListAudio Tone(int32_t iLen, int iCh, double dHz)
{
    return Load(TestSupport::SineSource(iLen, iCh, 44100, dHz));
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
    return { bDone, run.GetResult(), data.iNewEnd };
}

// 900 Hz: period 49 frames at 44100 Hz, in phase at every grain joint.
constexpr double kHz = 900.0;
} // namespace

// Constant pitch (mode 1) stretches; constant speed (mode 2) at 100 % needs no converter.
TEST(LEfChangeSpeedPitch, ConstantPitchStretchesOnlyTheSelection)
{
    const std::vector<int32_t> before = Samples(Tone(50000, 1, kHz));
    for (auto [iMode, iPercent] :
        { std::pair { 1, 50 }, { 1, 200 }, { 1, 300 }, { 1, 100 }, { 2, 100 } }) {
        SCOPED_TRACE(testing::Message() << "mode " << iMode << " at " << iPercent << " %");
        LCutListAudio doc = Tone(50000, 1, kHz);
        Outcome r = Change(doc, 10000, 30000, iPercent, iMode);
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
        EXPECT_NEAR(CrossingHz(after, 11000, size_t(r.iNewEnd) - 1000, 44100), kHz, kHz * 0.005);
        if (iPercent == 100) {
            EXPECT_EQ(after, before) << "a hop of one segment is the input itself";
        }
    }
}

TEST(LEfChangeSpeedPitch, CancelAndReversedRangeLeaveTheDocument)
{
    LCutListAudio doc = Tone(60000, 1, kHz);
    const std::vector<int32_t> before = Samples(doc);
    for (int iMode : { 0, 1, 2 }) {
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

TEST(LEfChangeSpeedPitch, ResampledModesScalePitchAndDurationAsAsked)
{
    if (LSRCConvertRate::OpenSource(TestSupport::SineSource(100, 1, 22050, 100.0), 44100)
            ->GetSampleRate()
        != 44100)
        GTEST_SKIP() << "the rate converter still returns its input unchanged";
    // Mode 0 scales duration and pitch together; mode 2 keeps the duration,
    // and its stretch's grain joints slip the phase by up to half a cycle 90
    // times a second of stretched audio, f x 90 after the resampling.
    for (int iMode : { 0, 2 })
        for (int iPercent : { 50, 200 }) {
            SCOPED_TRACE(testing::Message() << "mode " << iMode << " at " << iPercent << " %");
            const double f = iPercent * 0.01;
            LCutListAudio doc = Tone(60000, 1, 441.0);
            Outcome r = Change(doc, 10000, 50000, iPercent, iMode);
            ASSERT_TRUE(r.bDone);
            EXPECT_EQ(doc.GetSampleRate(), 44100);
            const double dLen = iMode == 0 ? 40000 / f : 40000;
            EXPECT_NEAR(r.iNewEnd - 10000, dLen, dLen * 0.01);
            EXPECT_EQ(doc.GetTotalLength(), 20000 + r.iNewEnd - 10000);
            EXPECT_NEAR(CrossingHz(Samples(doc), 11000, size_t(r.iNewEnd) - 1000, 44100), 441.0 * f,
                iMode == 0 ? 441.0 * f * 0.01 : 45.0 * f + 2);
        }
}
