#include "app/LWaveColumns.h"

#include "WaveTestSupport.h"
#include "app/LWaveView.h"
#include "audio/LSoundSourceBase.h"
#include "edit/LAudioCutTank.h"
#include "edit/LSRCCutListAudio.h"
#include "platform/LFile.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

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

TEST(WaveColumns, EveryColumnShowsThePeaksOfItsMode)
{
    std::vector<int32_t> square(8000), eighth(8000), positive(20000, 0), mixed(30000, 0),
        stereo(2 * 20000, 0);
    for (size_t i = 0; i < square.size(); ++i) {
        square[i] = (i / 10) % 2 ? -kInternalFullScale : kInternalFullScale;
        eighth[i] = square[i] / 8;
    }
    for (size_t i = 0; i < positive.size(); i += 3)
        positive[i] = 100000;
    for (size_t i = 0; i < mixed.size(); i += 7)
        mixed[i] = i % 2 ? -150000 : 60000;
    for (size_t i = 0; i < stereo.size(); i += 11)
        stereo[i] = i % 2 ? -90000 : 40000; // right channel negative, left positive
    const std::vector<int32_t> loud(10000, -0x3FC00 - 0x400), quiet = Sine(40000, 1, 20000, 100);
    const std::vector<int32_t> left = Sine(40000, 2, 300000, 100, 1u);
    struct Case {
        const char* szName;
        const std::vector<int32_t>& v;
        int iCh, iMode;
        bool bZoom;
        int top, bottom;
    };
    const int PM = LWaveColumns::kPlusMinus, LR = LWaveColumns::kLeftRight,
              MAG = LWaveColumns::kMagnitude;
    const std::vector<int32_t> sine = Sine(40000, 1, 200000, 100),
                               right = Sine(200000, 2, 300000, 100, 2u);
    for (const Case& k :
        { Case { "sine, one period a column", sine, 1, PM, false, 200000 >> 11, 200000 >> 11 },
            Case { "vertical zoom shifts by 8", quiet, 1, PM, true, 20000 >> 8, 20000 >> 8 },
            Case { "full-scale square", square, 1, PM, false, 255, 255 },
            Case { "zoomed eighth reaches the top", eighth, 1, PM, true, 255, 255 },
            Case { "positive only", positive, 1, PM, false, 100000 >> 11, 0 },
            Case { "left only in L / R", left, 2, LR, false, 300000 >> 11, 0 },
            Case { "left only in + / -", left, 2, PM, false, 300000 >> 11, 300000 >> 11 },
            Case { "right only, long view", right, 2, LR, false, 0, 300000 >> 11 },
            Case { "mono in L / R as + / -", mixed, 1, LR, false, 60000 >> 11, 150000 >> 11 },
            Case { "magnitude >> 10", stereo, 2, MAG, false, 90000 >> 10, 90000 >> 10 },
            Case { "magnitude capped past 0x3FC00", loud, 1, MAG, false, 255, 255 } }) {
        SCOPED_TRACE(k.szName);
        const int32_t iFrames = int32_t(k.v.size()) / k.iCh;
        LCutListAudio list = MakeList(k.v, k.iCh);
        LWaveColumns c;
        if (k.iMode == MAG)
            c.SetSource(MakeHandle<LSRCCutListAudio>(list), MAG);
        else
            c.SetCutList(list, k.iMode, k.bZoom);
        ASSERT_EQ(View(0, iFrames).IsLong(), iFrames > 400 * 256);
        Columns out = FillAll(c, View(0, iFrames));
        for (int x = 0; x < 400; ++x) {
            ASSERT_EQ(out.top[x], k.top) << x;
            ASSERT_EQ(out.bottom[x], k.bottom) << x;
        }
    }
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
        iMaxDiff = std::max({ iMaxDiff, std::abs(graph.top[x] - audio.top[x]),
            std::abs(graph.bottom[x] - audio.bottom[x]) });
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
    EXPECT_EQ(audio.top[0], 0); // before frame 0
    EXPECT_EQ(audio.top[200], 200000 >> 11);
    Columns graph = FillAll(c, View(-100000, 300000));
    EXPECT_EQ(graph.top[10], 0); // before frame 0
    EXPECT_EQ(graph.top[150], 200000 >> 11);
    EXPECT_EQ(graph.top[200], 0); // the silent cut
    EXPECT_EQ(graph.top[399], 0); // after the last cut
}

TEST(WaveView, FrameToPixelAndBack)
{
    LWaveView v;
    v.SetClientSize(402, 101);
    EXPECT_EQ(v.FrameToPixel(0), -1); // no view yet
    EXPECT_EQ(v.PixelToFrame(5), 5);
    v.Apply(1000, 3000); // 400 / 3000 pixels per frame, offset 133
    EXPECT_EQ(v.iPixelOffset, 133);
    // At most nWidth past the end.
    for (auto [iFrame, iPixel] :
        { std::pair { 999, 0 }, { 900, -1 }, { 2500, 200 }, { 100000, 400 } })
        EXPECT_EQ(v.FrameToPixel(iFrame), iPixel) << iFrame;
    for (auto [iPixel, iFrame] : { std::pair { 0, 997 }, { 10, 1072 } })
        EXPECT_EQ(v.PixelToFrame(iPixel), iFrame) << iPixel;
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

    uint8_t a[6] = { 1, 2, 3, 4, 5, 6 };
    ShiftColumns(a, 6, 2);
    EXPECT_EQ(std::vector<uint8_t>(a, a + 6), (std::vector<uint8_t> { 0, 0, 1, 2, 3, 4 }));
    ShiftColumns(a, 6, -3);
    EXPECT_EQ(std::vector<uint8_t>(a, a + 6), (std::vector<uint8_t> { 2, 3, 4, 0, 0, 0 }));
}
