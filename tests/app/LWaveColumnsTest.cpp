#include "app/LWaveColumns.h"
#include "app/LWaveView.h"
#include "audio/LSoundSourceBase.h"
#include "edit/LAudioCutTank.h"
#include "edit/LSRCCutListAudio.h"
#include "platform/LFile.h"
#include "WaveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using WaveTest::MakeList;
using WaveTest::Sine;

namespace {

// 400 columns; a view of iLength frames from iStart.
LWaveView View(int32_t iStart, int32_t iLength)
{
    LWaveView v;
    v.SetClientSize(402, 101);
    v.Apply(iStart, iLength);
    return v;
}

struct Columns {
    uint8_t top[LWaveView::kMaxColumns] = {};
    uint8_t bottom[LWaveView::kMaxColumns] = {};
};

Columns FillAll(LWaveColumns& c, const LWaveView& v, bool bAudioOnly = false)
{
    Columns out;
    if (bAudioOnly)
        c.FillFromAudio(v, 0, v.nWidth, out.top, out.bottom, nullptr);
    else
        c.Fill(v, 0, v.nWidth, out.top, out.bottom, nullptr);
    return out;
}

// A sine whose amplitude grows linearly from 1000 to 1000 + iRise.
std::vector<int32_t> RisingSine(int32_t iFrames, int32_t iRise)
{
    std::vector<int32_t> v = Sine(iFrames, 1, 1 << 20, 100);
    for (int32_t i = 0; i < iFrames; ++i)
        v[size_t(i)] = int32_t(int64_t(v[size_t(i)]) * (1000 + int64_t(iRise) * i / iFrames) >> 20);
    return v;
}

} // namespace

TEST(WaveColumns, SineGivesItsAmplitudeInBothHalves)
{
    // 100 frames per column, one whole period in each.
    LCutListAudio list = MakeList(Sine(40000, 1, 200000, 100), 1);
    LWaveColumns c;
    c.SetCutList(list, LWaveColumns::kPlusMinus, false);
    Columns out = FillAll(c, View(0, 40000));
    for (int x = 0; x < 400; ++x) {
        ASSERT_EQ(out.top[x], 200000 >> 11) << x;
        ASSERT_EQ(out.bottom[x], 200000 >> 11) << x;
    }
    // Vertical zoom shifts by 8 instead of 11.
    LCutListAudio quiet = MakeList(Sine(40000, 1, 20000, 100), 1);
    c.SetCutList(quiet, LWaveColumns::kPlusMinus, true);
    out = FillAll(c, View(0, 40000));
    EXPECT_EQ(out.top[17], 20000 >> 8);
    EXPECT_EQ(out.bottom[399], 20000 >> 8);
    c.SetCutList(quiet, LWaveColumns::kPlusMinus, false);
    out = FillAll(c, View(0, 40000));
    EXPECT_EQ(out.top[17], 20000 >> 11);
}

TEST(WaveColumns, SquareWavesReachTheTop)
{
    std::vector<int32_t> full(8000), eighth(8000);
    for (size_t i = 0; i < full.size(); ++i) {
        full[i] = (i / 10) % 2 ? -kInternalFullScale : kInternalFullScale;
        eighth[i] = full[i] / 8;
    }
    LWaveColumns c;
    c.SetCutList(MakeList(full, 1), LWaveColumns::kPlusMinus, false);
    Columns out = FillAll(c, View(0, 8000));
    EXPECT_EQ(out.top[0], 255);
    EXPECT_EQ(out.bottom[0], 255);
    EXPECT_EQ(out.top[399], 255);
    c.SetCutList(MakeList(eighth, 1), LWaveColumns::kPlusMinus, true);
    out = FillAll(c, View(0, 8000));
    EXPECT_EQ(out.top[200], 255);
    EXPECT_EQ(out.bottom[200], 255);
    c.SetCutList(MakeList(eighth, 1), LWaveColumns::kPlusMinus, false);
    out = FillAll(c, View(0, 8000));
    EXPECT_EQ(out.top[200], (kInternalFullScale / 8) >> 11);
}

TEST(WaveColumns, PositiveOnlyAudioLeavesTheBottomEmpty)
{
    std::vector<int32_t> v(20000, 0);
    for (size_t i = 0; i < v.size(); i += 3)
        v[i] = 100000;
    LWaveColumns c;
    c.SetCutList(MakeList(v, 1), LWaveColumns::kPlusMinus, false);
    Columns out = FillAll(c, View(0, 20000));
    EXPECT_EQ(out.top[5], 100000 >> 11);
    EXPECT_EQ(out.bottom[5], 0);
}

TEST(WaveColumns, LeftRightModeSplitsTheChannels)
{
    // Left only: the right channel's half stays empty.
    LCutListAudio left = MakeList(Sine(40000, 2, 300000, 100, 1u), 2);
    LWaveColumns c;
    c.SetCutList(left, LWaveColumns::kLeftRight, false);
    Columns out = FillAll(c, View(0, 40000));
    for (int x = 0; x < 400; ++x) {
        ASSERT_EQ(out.top[x], 300000 >> 11) << x;
        ASSERT_EQ(out.bottom[x], 0) << x;
    }
    // The same audio in "+ /-" shows both peaks of the left channel.
    c.SetCutList(left, LWaveColumns::kPlusMinus, false);
    out = FillAll(c, View(0, 40000));
    EXPECT_EQ(out.top[3], 300000 >> 11);
    EXPECT_EQ(out.bottom[3], 300000 >> 11);
    // Right only, and the graph path of a long view agrees.
    LCutListAudio right = MakeList(Sine(200000, 2, 300000, 100, 2u), 2);
    c.SetCutList(right, LWaveColumns::kLeftRight, false);
    out = FillAll(c, View(0, 200000));
    EXPECT_EQ(out.top[100], 0);
    EXPECT_EQ(out.bottom[100], 300000 >> 11);
    ASSERT_TRUE(View(0, 200000).IsLong());
}

TEST(WaveColumns, LeftRightOnMonoDrawsLikePlusMinus)
{
    std::vector<int32_t> v(30000, 0);
    for (size_t i = 0; i < v.size(); i += 7)
        v[i] = i % 2 ? -150000 : 60000;
    LCutListAudio list = MakeList(v, 1);
    LWaveColumns a, b;
    a.SetCutList(list, LWaveColumns::kLeftRight, false);
    b.SetCutList(list, LWaveColumns::kPlusMinus, false);
    Columns ca = FillAll(a, View(0, 30000)), cb = FillAll(b, View(0, 30000));
    EXPECT_TRUE(std::equal(ca.top, ca.top + 400, cb.top));
    EXPECT_TRUE(std::equal(ca.bottom, ca.bottom + 400, cb.bottom));
    EXPECT_EQ(cb.top[10], 60000 >> 11);
    EXPECT_EQ(cb.bottom[10], 150000 >> 11);
}

TEST(WaveColumns, MagnitudeModeIsTheLargestMagnitudeShiftedByTen)
{
    std::vector<int32_t> v(2 * 20000, 0);
    for (size_t i = 0; i < v.size(); i += 11)
        v[i] = i % 2 ? -90000 : 40000; // right channel negative, left positive
    LWaveColumns c;
    c.SetSource(MakeHandle<LSRCCutListAudio>(MakeList(v, 2)), LWaveColumns::kMagnitude);
    Columns out = FillAll(c, View(0, 20000));
    EXPECT_EQ(out.top[50], 90000 >> 10);
    EXPECT_EQ(out.bottom[50], 90000 >> 10);
    // Anything above 0x3FC00 is capped.
    std::vector<int32_t> loud(10000, -0x3FC00 - 0x400);
    c.SetSource(MakeHandle<LSRCCutListAudio>(MakeList(loud, 1)), LWaveColumns::kMagnitude);
    EXPECT_EQ(FillAll(c, View(0, 10000)).top[0], 255);
}

TEST(WaveColumns, LongViewsReadTheGraphFilesFromOneFrameBeyond256PerPixel)
{
    LCutListAudio list = MakeList(Sine(400 * 256 + 1000, 1, 200000, 100), 1);
    // Without its graph file a cut shows nothing, which tells the paths apart.
    LFile::Delete(LAudioCutTank::Get().GetGrfFilePath(list.GetCuts()[0].wCut));
    LWaveColumns c;
    c.SetCutList(list, LWaveColumns::kPlusMinus, false);
    EXPECT_FALSE(View(0, 400 * 256).IsLong());
    EXPECT_TRUE(View(0, 400 * 256 + 1).IsLong());
    EXPECT_EQ(FillAll(c, View(0, 400 * 256)).top[123], 200000 >> 11);
    Columns graph = FillAll(c, View(0, 400 * 256 + 1));
    EXPECT_EQ(graph.top[123], 0);
    EXPECT_EQ(graph.bottom[399], 0);
}

TEST(WaveColumns, GraphColumnsAgreeWithTheAudio)
{
    const int32_t n = 400000;
    LCutListAudio base = MakeList(RisingSine(n, 300000), 1);
    LCutListAudio list = base, quiet = base, loud = base;
    quiet.EfAmplifyAll(6);
    loud.EfAmplifyAll(150);
    list.EfInsert(list.GetTotalLength(), quiet);
    list.EfInsert(list.GetTotalLength(), loud);
    ASSERT_EQ(list.GetCuts().size(), 3u);
    // 3000 frames per column; columns 133 and 266 hold cut boundaries.
    const LWaveView v = View(0, 3 * n);
    ASSERT_TRUE(v.IsLong());
    LWaveColumns c;
    c.SetCutList(list, LWaveColumns::kPlusMinus, false);
    Columns graph = FillAll(c, v), audio = FillAll(c, v, true);
    int iMaxDiff = 0;
    for (int x = 0; x < 400; ++x) {
        iMaxDiff = std::max({iMaxDiff, std::abs(graph.top[x] - audio.top[x]),
                             std::abs(graph.bottom[x] - audio.bottom[x])});
        // A column holding the end of the loud first cut keeps its peak.
        ASSERT_LE(std::abs(graph.top[x] - audio.top[x]), 2) << x;
        ASSERT_LE(std::abs(graph.bottom[x] - audio.bottom[x]), 2) << x;
    }
    EXPECT_GT(audio.top[133], 140);
    EXPECT_LT(audio.top[140], 12);
    EXPECT_GT(audio.top[399], 200); // the 150 % cut
    // A unity-gain view: the records cover at least the column's frames.
    const LWaveView first = View(0, n);
    Columns g1 = FillAll(c, first), a1 = FillAll(c, first, true);
    for (int x = 0; x < 400; ++x) {
        ASSERT_GE(g1.top[x], a1.top[x]) << x;
        ASSERT_LE(g1.top[x], a1.top[x] + 1) << x;
    }
}

TEST(WaveColumns, DoubledGainDoublesGraphColumnsUpToTheCap)
{
    LCutListAudio list = MakeList(RisingSine(300000, 400000), 1);
    LCutListAudio twice = list;
    twice.EfAmplifyAll(200);
    ASSERT_EQ(twice.GetCuts()[0].iGain, 0x2000000);
    LWaveColumns a, b;
    a.SetCutList(list, LWaveColumns::kPlusMinus, false);
    b.SetCutList(twice, LWaveColumns::kPlusMinus, false);
    const LWaveView v = View(0, 300000);
    Columns ca = FillAll(a, v), cb = FillAll(b, v);
    bool bCapped = false;
    for (int x = 0; x < 400; ++x) {
        ASSERT_EQ(cb.top[x], std::min(2 * ca.top[x], 255)) << x;
        bCapped = bCapped || cb.top[x] == 255;
    }
    EXPECT_TRUE(bCapped);
    // An inverted cut swaps the halves.
    LCutListAudio inverted = list;
    inverted.EfAmplifyAll(-100);
    b.SetCutList(inverted, LWaveColumns::kPlusMinus, false);
    cb = FillAll(b, v);
    EXPECT_EQ(cb.top[300], ca.bottom[300]);
    EXPECT_EQ(cb.bottom[300], ca.top[300]);
}

TEST(WaveColumns, ColumnsOutsideTheAudioAreEmpty)
{
    LCutListAudio list = MakeList(Sine(40000, 1, 200000, 100), 1);
    list.EfInsertSilence(20000, 40000); // silent cut in the middle of a long view
    LWaveColumns c;
    c.SetCutList(list, LWaveColumns::kPlusMinus, false);
    Columns audio = FillAll(c, View(-10000, 40000));
    EXPECT_EQ(audio.top[0], 0);            // before frame 0
    EXPECT_EQ(audio.top[200], 200000 >> 11);
    Columns graph = FillAll(c, View(-100000, 300000));
    EXPECT_EQ(graph.top[10], 0);           // before frame 0
    EXPECT_EQ(graph.top[150], 200000 >> 11);
    EXPECT_EQ(graph.top[200], 0);          // the silent cut
    EXPECT_EQ(graph.top[399], 0);          // after the last cut
}

TEST(WaveView, FrameToPixelAndBack)
{
    LWaveView v;
    v.SetClientSize(402, 101);
    EXPECT_EQ(v.FrameToPixel(0), -1); // no view yet
    EXPECT_EQ(v.PixelToFrame(5), 5);
    v.Apply(1000, 3000); // 400 / 3000 pixels per frame, offset 133
    EXPECT_EQ(v.iPixelOffset, 133);
    EXPECT_EQ(v.FrameToPixel(1000), 0);
    EXPECT_EQ(v.FrameToPixel(999), 0);
    EXPECT_EQ(v.FrameToPixel(900), -1);
    EXPECT_EQ(v.FrameToPixel(2500), 200);
    EXPECT_EQ(v.FrameToPixel(4000), 400);
    EXPECT_EQ(v.FrameToPixel(100000), 400); // at most nWidth
    EXPECT_EQ(v.PixelToFrame(0), 997);
    EXPECT_EQ(v.PixelToFrame(10), 1072);
    EXPECT_EQ(v.PixelToFrame(400), 3997);
    // Zoomed in past one frame per pixel.
    v.SetClientSize(10, 50);
    v.Apply(0, 4);
    EXPECT_EQ(v.dScale, 2.0);
    EXPECT_EQ(v.FrameToPixel(3), 6);
    EXPECT_EQ(v.PixelToFrame(5), 2);
    // Narrow controls still divide by at least 8.
    v.SetClientSize(4, 50);
    v.Apply(0, 16);
    EXPECT_EQ(v.dScale, 0.5);
    EXPECT_EQ(v.FrameToPixel(2), 1);
    EXPECT_EQ(v.FrameToPixel(10), 2);
    // Negative frames truncate toward zero.
    v.Apply(-30, 16);
    EXPECT_EQ(v.iPixelOffset, -15);
    EXPECT_EQ(v.PixelToFrame(1), -28);
}

TEST(WaveView, SameLengthScrollsByTheOffsetDifference)
{
    LWaveView v;
    v.SetClientSize(402, 101);
    v.Apply(1000, 3000);
    LWaveView::Change c = v.Apply(1750, 3000); // right: offset 133 -> 233
    EXPECT_FALSE(c.bAll);
    EXPECT_EQ(c.iShift, -100);
    c = v.Apply(1000, 3000); // left again
    EXPECT_EQ(c.iShift, 100);
    c = v.Apply(1003, 3000); // less than a pixel
    EXPECT_FALSE(c.bAll);
    EXPECT_EQ(c.iShift, 0);
    c = v.Apply(5000, 3000); // a window width or more
    EXPECT_TRUE(c.bAll);
    EXPECT_TRUE(c.bScroll);
    c = v.Apply(5000, 3000, true); // after a resize
    EXPECT_TRUE(c.bAll);
    c = v.Apply(5000, 2000);
    EXPECT_TRUE(c.bAll);
    EXPECT_FALSE(c.bScroll);
    EXPECT_EQ(v.dScale, 0.2);

    uint8_t a[6] = {1, 2, 3, 4, 5, 6};
    ShiftColumns(a, 6, 2);
    EXPECT_EQ(std::vector<uint8_t>(a, a + 6), (std::vector<uint8_t>{0, 0, 1, 2, 3, 4}));
    ShiftColumns(a, 6, -3);
    EXPECT_EQ(std::vector<uint8_t>(a, a + 6), (std::vector<uint8_t>{2, 3, 4, 0, 0, 0}));
}
