#include "EffectTestSupport.h"
#include "audio/LWaveFile.h"
#include "effects/EfFade.h"
#include "effects/EfReverse.h"
#include "support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

using namespace EffectTest;

namespace {
LCutListAudio LoadWav(const std::string& strPath)
{
    return Load(LWaveFile::OpenSource(strPath));
}

// A stereo 16-bit file from sox: a different tone in each channel.
std::string MakeInput(const TestSupport::TempDir& dir)
{
    std::string strIn = dir.File("in.wav");
    EXPECT_EQ(TestSupport::Run({ "sox", "-n", "-r", "44100", "-c", "2", "-b", "16", strIn, "synth",
                  "1.3", "sine", "440", "sine", "661", "gain", "-2" }),
        0);
    return strIn;
}
} // namespace

TEST(EffectsAgainstSox, ReverseMatchesSampleForSample)
{
    REQUIRE_PEER("sox");
    TestSupport::TempDir dir;
    std::string strIn = MakeInput(dir), strRev = dir.File("rev.wav");
    ASSERT_EQ(TestSupport::Run({ "sox", strIn, strRev, "reverse" }), 0);
    LCutListAudio doc = LoadWav(strIn);
    LCutListAudio theirs = LoadWav(strRev);
    ASSERT_EQ(doc.GetTotalLength(), 57330);
    ASSERT_EQ(theirs.GetTotalLength(), doc.GetTotalLength());
    EfReverse rev { &doc, doc.GetTotalLength(), 0 };
    EXPECT_EQ(RunBody(rev), 0);
    std::vector<int32_t> a = Samples(doc), b = Samples(theirs);
    ASSERT_EQ(a.size(), b.size());
    size_t uDiffer = 0;
    for (size_t i = 0; i < a.size(); ++i)
        uDiffer += a[i] != b[i];
    EXPECT_EQ(uDiffer, 0u);
}

TEST(EffectsAgainstSox, LinearFadeInFollowsSoxWithinTheStepTruncation)
{
    REQUIRE_PEER("sox");
    TestSupport::TempDir dir;
    std::string strIn = MakeInput(dir), strFade = dir.File("fade.wav");
    // A linear fade-in over the first half second, without dither.
    ASSERT_EQ(TestSupport::Run({ "sox", "-D", strIn, strFade, "fade", "t", "0.5" }), 0);
    LCutListAudio doc = LoadWav(strIn);
    LCutListAudio theirs = LoadWav(strFade);
    ASSERT_EQ(theirs.GetTotalLength(), doc.GetTotalLength());
    EfFade fade { &doc, 22050, 0, EfFade::FadeIn };
    EXPECT_EQ(RunBody(fade), 0);
    std::vector<int32_t> x = Samples(LoadWav(strIn));
    std::vector<int32_t> a = Samples(doc), b = Samples(theirs);
    ASSERT_EQ(a.size(), b.size());
    // sox's gain is exactly frame / 22050. Ours moves by whole steps of
    // 2^-24, recomputed every 8192 frames, so it lags by less than
    // 8192 / 2^24 of the sample, plus one step of rounding.
    double dMax = 0, dWorstExcess = -1e9;
    for (size_t i = 0; i < a.size(); ++i) {
        double dDiff = std::fabs(a[i] / 16.0 - b[i] / 16.0);
        dMax = std::max(dMax, dDiff);
        dWorstExcess
            = std::max(dWorstExcess, dDiff - (1.0 + std::fabs(x[i] / 16.0) * 8192.0 / 16777216.0));
    }
    EXPECT_LE(dWorstExcess, 0.0);
    EXPECT_GT(dMax, 0.0) << "the curves are not the same: a copy would match exactly";
    EXPECT_EQ(std::vector<int32_t>(a.begin() + 2 * 22050, a.end()),
        std::vector<int32_t>(b.begin() + 2 * 22050, b.end()));
    RecordProperty("max_difference_16bit", std::to_string(dMax));
}
