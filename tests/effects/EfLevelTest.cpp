#include "EffectTestSupport.h"
#include "edit/LAudioCutTank.h"
#include "effects/EfFade.h"
#include "effects/EfNormalize.h"
#include "effects/LEfEnvelope.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace EffectTest;

namespace {
// A sine of the given peak (reached exactly at a quarter period).
std::vector<int32_t> Sine(int32_t iFrames, int iCh, int32_t iPeak)
{
    return Signal(iFrames, iCh, [=](int32_t f, int c) {
        return int32_t(std::lround(iPeak * std::sin(2 * M_PI * (f + 25 * c) / 100.0)));
    });
}

int32_t PeakOf(const std::vector<int32_t>& v, size_t uFrom, size_t uTo)
{
    int32_t iPeak = 0;
    for (size_t i = uFrom; i < uTo; ++i)
        iPeak = std::max(iPeak, std::abs(v[i]));
    return iPeak;
}

} // namespace

TEST(EfNormalize, ReachesTheTargetPeakAndCapsTheGain)
{
    // Half scale with level 100: 200 %, the peak becomes full scale.
    LCutListAudio doc = ListOf(Sine(20000, 2, kInternalFullScale / 2), 2);
    EfNormalize half { &doc, 15000, 5000, 100 };
    EXPECT_EQ(RunBody(half), 0);
    std::vector<int32_t> out = Samples(doc);
    EXPECT_EQ(PeakOf(out, 2 * 5000, 2 * 15000), kInternalFullScale);
    EXPECT_EQ(PeakOf(out, 0, 2 * 5000), kInternalFullScale / 2) << "outside the range untouched";
    EXPECT_EQ(PeakOf(out, 2 * 15000, out.size()), kInternalFullScale / 2);

    // A peak below a quarter of full scale: capped at 400 %.
    LCutListAudio quiet = ListOf(Sine(10000, 1, 0x10000), 1);
    EfNormalize capped { &quiet, 10000, 0, 100 };
    EXPECT_EQ(RunBody(capped), 0);
    EXPECT_EQ(PeakOf(Samples(quiet), 0, 10000), 4 * 0x10000);
}

TEST(EfNormalize, SilenceTargetPeakAndCancelLeaveTheListAlone)
{
    struct Case {
        const char* szName;
        std::vector<int32_t> v;
        int32_t iEnd, iStart;
        int iLevel, iCancelAtPump, iResult;
    };
    for (const Case& k : { Case { "silence", std::vector<int32_t>(5000, 0), 5000, 0, 100, 0, 0 },
             Case { "a peak already at the level gets 100 %", Sine(5000, 1, kInternalFullScale / 2),
                 5000, 0, 50, 0, 0 },
             Case { "cancelled", Sine(30000, 1, 1000), 30000, 0, 100, 2, 1 },
             Case { "empty range", Sine(30000, 1, 1000), 100, 100, 100, 0, 0 } }) {
        SCOPED_TRACE(k.szName);
        LCutListAudio doc = ListOf(k.v, 1);
        const auto before = Records(doc);
        EfNormalize n { &doc, k.iEnd, k.iStart, k.iLevel };
        EXPECT_EQ(RunBody(n, k.iCancelAtPump), k.iResult);
        EXPECT_EQ(Records(doc), before);
    }
}

TEST(EfFade, InAndOutFollowTheLineAndOutEndsInSilence)
{
    const int32_t s = 0x40000, N = 10000;
    // Fade in of a constant mono signal: 0 at the first frame, then f / N.
    LCutListAudio in = ListOf(std::vector<int32_t>(20000, s), 1);
    EfFade fadeIn { &in, 12000, 2000, EfFade::FadeIn };
    EXPECT_EQ(RunBody(fadeIn), 0);
    std::vector<int32_t> v = Samples(in);
    ASSERT_EQ(v.size(), 20000u);
    EXPECT_EQ(v[1999], s);
    EXPECT_EQ(v[2000], 0);
    // The last frame of the range is at full level.
    EXPECT_EQ(v[size_t(2000 + N - 1)], s);
    EXPECT_NEAR(v[size_t(2000 + N / 4)], s / 4, s * 0.001) << "the line; sox checks it whole";
    EXPECT_EQ(v[12000], s);

    // Fade out of a stereo selection: both channels alike, silent at the end.
    LCutListAudio out = ListOf(Signal(20000, 2, [=](int32_t, int c) { return c ? -s : s; }), 2);
    EfFade fadeOut { &out, 20000 - 3000, 3000, EfFade::FadeOut };
    EXPECT_EQ(RunBody(fadeOut), 0);
    v = Samples(out);
    const size_t uLast = 2 * size_t(16999);
    EXPECT_EQ(v[2 * 3000], s);
    // The last frame of the range is silent in both channels.
    EXPECT_EQ(v[uLast], 0);
    EXPECT_EQ(v[uLast + 1], 0);
    EXPECT_GT(v[uLast - 2], 0);
    for (int32_t f = 3000; f < 17000; ++f) {
        ASSERT_NEAR(v[2 * size_t(f)], -v[2 * size_t(f) + 1], 1)
            << "one gain for both channels at " << f;
        if (f > 3000) {
            ASSERT_LE(v[2 * size_t(f)], v[2 * size_t(f) - 2]) << "falls steadily at " << f;
        }
    }
    EXPECT_NEAR(v[2 * size_t(10000)], s / 2, s * 0.001);
    EXPECT_EQ(v[2 * size_t(17000)], s) << "after the range untouched";
    EXPECT_EQ(out.GetTotalLength(), 20000);
}

TEST(EfFade, OutAndTrimDeletesWhatFollowsAndCancelKeepsAll)
{
    LCutListAudio doc = ListOf(std::vector<int32_t>(30000, 0x10000), 1);
    EfFade trim { &doc, 20000, 10000, EfFade::FadeOutAndTrim };
    EXPECT_EQ(RunBody(trim), 0);
    EXPECT_EQ(doc.GetTotalLength(), 20000);
    std::vector<int32_t> v = Samples(doc);
    EXPECT_EQ(v[9999], 0x10000);
    EXPECT_LT(v[19999], 0x10000 / 1000);

    LCutListAudio kept = ListOf(std::vector<int32_t>(30000, 0x10000), 1);
    auto before = Records(kept);
    int iUsed = LAudioCutTank::Get().GetUsedCount();
    EfFade cancelled { &kept, 30000, 0, EfFade::FadeOutAndTrim };
    EXPECT_EQ(RunBody(cancelled, 2), 1);
    EXPECT_EQ(Records(kept), before);
    EXPECT_EQ(LAudioCutTank::Get().GetUsedCount(), iUsed) << "the cancelled render's cut is gone";
}

TEST(LEfEnvelope, BackwardPointsAreSkippedAndTheLastGainHolds)
{
    const int32_t s = 0x20000;
    // Up to +5.99 dB at the middle, a backward point that must not be used,
    // then back to unity at the end.
    PointList curve = PointList::Of({ { 0, 128 }, { 128, 255 }, { 64, 0 }, { 255, 128 } });
    LCutListAudio doc = ListOf(std::vector<int32_t>(25500, s), 1);
    LEfEnvelope env { &doc, 25500, 0, &curve };
    EXPECT_EQ(RunBody(env), 0);
    std::vector<int32_t> v = Samples(doc);
    const int32_t iMid = (25500 / 255) * 128; // 12800
    EXPECT_EQ(v[0], s);
    EXPECT_NEAR(v[size_t(iMid)], s * 255 / 128, s * 0.001);
    for (int32_t f = 0; f < 25500; ++f)
        ASSERT_GE(v[size_t(f)], s - 1) << "never dips toward the backward point " << f;
    EXPECT_NEAR(v[25499], s, s * 0.001);

    // A curve that ends before the range end holds its last gain.
    PointList half = PointList::Of({ { 0, 128 }, { 127, 64 } });
    LCutListAudio doc2 = ListOf(std::vector<int32_t>(25500, s), 1);
    LEfEnvelope env2 { &doc2, 25500, 0, &half };
    EXPECT_EQ(RunBody(env2), 0);
    v = Samples(doc2);
    const int32_t iEnd = (25500 / 255) * 127;
    EXPECT_NEAR(v[size_t(iEnd)], s / 2, s * 0.001);
    for (int32_t f = iEnd; f < 25500; ++f)
        ASSERT_EQ(v[size_t(f)], v[size_t(iEnd)]) << f;
}

TEST(LEfEnvelope, FewerThanTwoPointsIsAnErrorAndChangesNothing)
{
    LCutListAudio doc = ListOf(std::vector<int32_t>(1000, 5), 1);
    auto before = Records(doc);
    PointList one = PointList::Of({ { 0, 0 } });
    LEfEnvelope env { &doc, 1000, 0, &one };
    EXPECT_EQ(RunBody(env), 2);
    LEfEnvelope none { &doc, 1000, 0, nullptr };
    EXPECT_EQ(RunBody(none), 2);
    EXPECT_EQ(Records(doc), before);
    PointList two = PointList::Of({ { 0, 0 }, { 255, 0 } });
    LEfEnvelope backwards { &doc, 10, 500, &two };
    EXPECT_EQ(RunBody(backwards), 0) << "a range ending before its start counts as done";
    EXPECT_EQ(Records(doc), before);
}
