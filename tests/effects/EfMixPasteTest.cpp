#include "effects/EfMixPaste.h"

#include "EffectTestSupport.h"
#include "effects/EfPasteOver.h"

#include <gtest/gtest.h>

using namespace EffectTest;

namespace {
constexpr int32_t kDocL = 1000 * 16, kDocR = 2000 * 16, kClipL = 100 * 16, kClipR = 300 * 16;

LCutListAudio StereoDoc(int32_t iFrames = 30000)
{
    return ListOf(Signal(iFrames, 2, [](int32_t, int c) { return c ? kDocR : kDocL; }), 2);
}

LCutListAudio StereoClip(int32_t iFrames)
{
    return ListOf(Signal(iFrames, 2, [](int32_t, int c) { return c ? kClipR : kClipL; }), 2);
}

int32_t At(const std::vector<int32_t>& v, int32_t f, int c)
{
    return v[2 * size_t(f) + size_t(c)];
}
} // namespace

TEST(EfMixPaste, ShortClipMixesOnlyItsLengthWithPanAndVolume)
{
    // Pan 75 at volume 80 gains 40 % and 120 %, applied as (clip x (gain >> 15)) >> 9.
    struct Case {
        int iVolume, iPan;
        int32_t iGainL, iGainR, iLeft, iRight;
    };
    for (const Case& k : { Case { 100, 50, 0x1000000, 0x1000000, kDocL + kClipL, kDocR + kClipR },
             Case { 100, 0, 0x2000000, 0, kDocL + 2 * kClipL, kDocR },
             Case { 50, 50, 0x800000, 0x800000, kDocL + kClipL / 2, kDocR + kClipR / 2 },
             Case { 80, 75, 6710886, 20132659, kDocL + 637, kDocR + 5756 } }) {
        SCOPED_TRACE(testing::Message() << "volume " << k.iVolume << " pan " << k.iPan);
        int32_t l, r;
        MixPanGains(k.iVolume, k.iPan, &l, &r);
        EXPECT_EQ(l, k.iGainL);
        EXPECT_EQ(r, k.iGainR);
        LCutListAudio doc = StereoDoc(), clip = StereoClip(5000);
        EfMixPaste mix { &doc, 12000, 2000, &clip, k.iVolume, MIXMODE_INSERTSILENCE, 250, k.iPan };
        EXPECT_EQ(RunBody(mix), 0);
        std::vector<int32_t> v = Samples(doc);
        ASSERT_EQ(doc.GetTotalLength(), 30000);
        for (int32_t f : { 2000, 4000, 6999 }) {
            EXPECT_EQ(At(v, f, 0), k.iLeft) << f;
            EXPECT_EQ(At(v, f, 1), k.iRight) << f;
        }
        for (int32_t f : { 1999, 7000, 11999 }) { // past the clip untouched
            EXPECT_EQ(At(v, f, 0), kDocL) << f;
            EXPECT_EQ(At(v, f, 1), kDocR) << f;
        }
    }
}

TEST(EfMixPaste, LongClipModes)
{
    LCutListAudio clip = StereoClip(5000);
    // Insert silence: the 3000 frames past the selection are clip over silence.
    LCutListAudio doc = StereoDoc();
    EfMixPaste ins { &doc, 3000, 1000, &clip, 100, MIXMODE_INSERTSILENCE, 250, 50 };
    EXPECT_EQ(RunBody(ins), 0);
    std::vector<int32_t> v = Samples(doc);
    ASSERT_EQ(doc.GetTotalLength(), 33000);
    EXPECT_EQ(At(v, 1000, 0), kDocL + kClipL);
    EXPECT_EQ(At(v, 2999, 1), kDocR + kClipR);
    EXPECT_EQ(At(v, 3000, 0), kClipL);
    EXPECT_EQ(At(v, 5999, 1), kClipR);
    EXPECT_EQ(At(v, 6000, 0), kDocL);
    EXPECT_EQ(At(v, 32999, 1), kDocR);

    // Increase selection: mixed into the audio that follows, length kept.
    LCutListAudio doc2 = StereoDoc();
    EfMixPaste ext { &doc2, 3000, 1000, &clip, 100, MIXMODE_EXTENDSELECTION, 250, 50 };
    EXPECT_EQ(RunBody(ext), 0);
    v = Samples(doc2);
    ASSERT_EQ(doc2.GetTotalLength(), 30000);
    EXPECT_EQ(At(v, 5999, 0), kDocL + kClipL);
    EXPECT_EQ(At(v, 6000, 0), kDocL);

    // Fade out mix: the range stays; its last 500 frames fade the clip to 0.
    LCutListAudio doc3 = StereoDoc();
    EfMixPaste fade { &doc3, 3000, 1000, &clip, 100, MIXMODE_FADEMIXOUT, 500, 50 };
    EXPECT_EQ(RunBody(fade), 0);
    v = Samples(doc3);
    ASSERT_EQ(doc3.GetTotalLength(), 30000);
    EXPECT_EQ(At(v, 2499, 0), kDocL + kClipL);
    EXPECT_NEAR(At(v, 2750, 1), kDocR + kClipR / 2, 2) << "half way down the fade";
    for (int32_t f = 2501; f < 3000; ++f)
        ASSERT_LE(At(v, f, 1), At(v, f - 1, 1)) << f;
    EXPECT_LE(At(v, 2999, 1) - kDocR, 1 + kClipR / 400);
    EXPECT_EQ(At(v, 3000, 1), kDocR) << "nothing of the clip past the range";
}

TEST(EfMixPaste, ConvertsTheClipAndLeavesTheDocumentOnCancel)
{
    // A mono clip reaches both channels of a stereo document and itself stays mono.
    LCutListAudio doc = StereoDoc();
    LCutListAudio mono = ListOf(std::vector<int32_t>(4000, kClipL), 1);
    EfMixPaste mix { &doc, 10000, 1000, &mono, 100, MIXMODE_INSERTSILENCE, 250, 50 };
    EXPECT_EQ(RunBody(mix), 0);
    std::vector<int32_t> v = Samples(doc);
    EXPECT_EQ(At(v, 2000, 0), kDocL + kClipL);
    EXPECT_EQ(At(v, 2000, 1), kDocR + kClipL);
    EXPECT_EQ(At(v, 5000, 0), kDocL);
    EXPECT_EQ(mono.GetChannels(), 1);

    // Cancel with a clip longer than the selection (insert silence): no silence left behind.
    LCutListAudio doc2 = StereoDoc();
    auto before = Records(doc2);
    LCutListAudio clip = StereoClip(25000);
    EfMixPaste cancelled { &doc2, 3000, 1000, &clip, 100, MIXMODE_INSERTSILENCE, 250, 50 };
    EXPECT_EQ(RunBody(cancelled, 2), 1);
    EXPECT_EQ(Records(doc2), before);

    // An empty clip changes nothing.
    LCutListAudio empty(44100, 2);
    EfMixPaste none { &doc2, 3000, 1000, &empty, 100, MIXMODE_EXTENDSELECTION, 250, 50 };
    EXPECT_EQ(RunBody(none), 0);
    EXPECT_EQ(Records(doc2), before);
}

TEST(EfMixPaste, MonoDocumentMixesAtTheVolumeWhateverThePan)
{
    LCutListAudio doc = ListOf(std::vector<int32_t>(9000, kDocL), 1);
    LCutListAudio clip = ListOf(std::vector<int32_t>(3001, kClipL), 1);
    EfMixPaste mix { &doc, 9000, 0, &clip, 100, MIXMODE_INSERTSILENCE, 250, 0 };
    EXPECT_EQ(RunBody(mix), 0);
    std::vector<int32_t> v = Samples(doc);
    EXPECT_EQ(v[0], kDocL + kClipL);
    EXPECT_EQ(v[1], kDocL + kClipL);
    EXPECT_EQ(v[3000], kDocL + kClipL);
    EXPECT_EQ(v[3001], kDocL);
}

TEST(EfPasteOver, ReplacesTheSelectionConvertingACopyWhenNeeded)
{
    LCutListAudio doc = StereoDoc(10000);
    LCutListAudio clip = StereoClip(500);
    EfPasteOver paste { &doc, 3000, 1000, &clip };
    EXPECT_EQ(RunBody(paste), 0);
    EXPECT_EQ(doc.GetTotalLength(), 10000 - 2000 + 500);
    std::vector<int32_t> v = Samples(doc);
    EXPECT_EQ(At(v, 999, 0), kDocL);
    EXPECT_EQ(At(v, 1000, 1), kClipR);
    EXPECT_EQ(At(v, 1500, 0), kDocL);

    LCutListAudio mono = ListOf(std::vector<int32_t>(700, kClipL), 1);
    LCutListAudio doc2 = StereoDoc(10000);
    EfPasteOver conv { &doc2, 3000, 1000, &mono };
    EXPECT_EQ(RunBody(conv), 0);
    EXPECT_EQ(doc2.GetTotalLength(), 10000 - 2000 + 700);
    EXPECT_EQ(doc2.GetChannels(), 2);
    v = Samples(doc2);
    EXPECT_EQ(At(v, 1699, 1), kClipL);
    EXPECT_EQ(mono.GetChannels(), 1);

    LCutListAudio longMono = ListOf(std::vector<int32_t>(40000, kClipL), 1);
    LCutListAudio doc3 = StereoDoc(10000);
    auto before = Records(doc3);
    EfPasteOver cancelled { &doc3, 3000, 1000, &longMono };
    EXPECT_EQ(RunBody(cancelled, 2), 1);
    EXPECT_EQ(Records(doc3), before);
}
