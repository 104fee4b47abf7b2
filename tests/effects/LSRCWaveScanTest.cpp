#include "effects/LSRCWaveScan.h"

#include "effects/LSRCFixedLength.h"
#include "support/AudioTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

using namespace TestSupport;

TEST(LSRCWaveScan, SegmentIsARateNinetiethClampedTimesChannels)
{
    EXPECT_EQ(LSRCWaveScan(RampSource(10, 2, 44100), 1.0).GetSegmentSamples(), 980);
    EXPECT_EQ(LSRCWaveScan(RampSource(10, 1, 1000), 1.0).GetSegmentSamples(), 20);
    EXPECT_EQ(LSRCWaveScan(RampSource(10, 2, 384000), 1.0).GetSegmentSamples(), 2 * 2730);
    // 88 x 2 x 0.3 = 52.8 samples: hop 52, used as 26 whole frames.
    LSRCWaveScan stereo(RampSource(10, 2, 8000), 0.3);
    EXPECT_EQ(stereo.GetHop(), 52);
    EXPECT_EQ(stereo.GetHopFrames(), 26);
}

TEST(LSRCWaveScan, OutputCrossfadesTheGrains)
{
    struct Case {
        int ch;
        double f;
    };
    // 8000 Hz: S = 88 frames. Hops below, at and past the window's reach,
    // forwards and backwards; factor 1 is the input itself.
    for (Case k : { Case { 1, 1.0 }, Case { 2, 1.0 }, Case { 1, 0.5 }, Case { 1, 2.0 },
             Case { 1, 12.0 }, Case { 2, 0.3 }, Case { 1, -0.5 }, Case { 2, -0.5 },
             Case { 1, -7.0 }, Case { 2, 3.0 } }) {
        SCOPED_TRACE(testing::Message() << "channels " << k.ch << " factor " << k.f);
        auto hIn = RampSource(60000, k.ch, 8000);
        hIn->Seek(30000);
        LSRCWaveScan scan(hIn, k.f);
        const int32_t S = scan.GetSegmentSamples();
        ASSERT_EQ(S, 88 * k.ch);
        const int64_t iHop = int64_t(scan.GetHopFrames()) * k.ch;
        const int64_t iFirst = (k.f < 0 ? 30000 - 88 : 30000) * int64_t(k.ch);
        const int iSegs = 150;
        std::vector<int32_t> got = ReadFrames(scan, iSegs * 88, 301);
        auto At = [&](int64_t s) { return hIn->Value(s >= 0 ? s / k.ch : -1, int(s % k.ch)); };
        // Segment n plays the continuation of grain n - 1 alone for its first
        // half, then crosses to grain n, n hops after the first one.
        for (int n = 0; n < iSegs; ++n) {
            const int64_t g = iFirst + n * iHop, old = n == 0 ? g : g - iHop + S;
            for (int32_t i = 0; i < S; ++i) {
                const int32_t a = At(old + i), b = At(g + i), v = got[size_t(n * S + i)];
                if (i < S / 2)
                    ASSERT_EQ(v, a) << "segment " << n << " sample " << i;
                else
                    ASSERT_TRUE(v >= std::min(a, b) && v <= std::max(a, b)) << n << " " << i;
            }
        }
        if (k.f == 1.0) {
            EXPECT_EQ(scan.GetPosition(), 30000 + iSegs * 88);
            EXPECT_EQ(scan.GetLength(), 60000);
        }
    }
    // A few samples worked by hand, mono, hop 44: segment 1 mixes input from
    // frame 88 on (old) with input from frame 44 on (new).
    auto hIn = RampSource(60000, 1, 8000);
    LSRCWaveScan scan(hIn, 0.5);
    std::vector<int32_t> got = ReadFrames(scan, 3 * 88);
    EXPECT_EQ(got[87], 87 * 16);
    EXPECT_EQ(got[88 + 43], (88 + 43) * 16) << "first half: the old grain alone";
    EXPECT_EQ(got[88 + 44], (88 + 44) * 16) << "curve still 1.0 at its top";
    // Last sample: weight 0.5 + 0.5 cos(43 pi / 44) on frame 175, the rest on frame 131.
    double w = 0.5 + 0.5 * std::cos(43 * std::numbers::pi / 44);
    EXPECT_NEAR(got[175], w * 175 * 16 + (1 - w) * 131 * 16, 0.5);
    // Segment 2 continues grain 1 (from frame 44 + 88 = 132).
    EXPECT_EQ(got[176], 132 * 16);
}

TEST(LSRCWaveScan, NegativeHopStepsBackAndEndsAtFrameZero)
{
    auto hIn = RampSource(60000, 1, 8000);
    hIn->Seek(10000);
    LSRCWaveScan scan(hIn, -0.5);
    EXPECT_EQ(scan.GetHop(), -44);
    // The first grain is the segment just before the starting frame.
    EXPECT_EQ(scan.GetPosition(), 10000 - 88);
    EXPECT_EQ(scan.GetLength(), 2 * scan.GetPosition());
    // The grains themselves are checked in OutputCrossfadesTheGrains.
    std::vector<int32_t> seg(88);
    int iSegs = 0;
    while (scan.GetPosition() < scan.GetLength()) {
        ASSERT_EQ(scan.GetLength(), 2 * scan.GetPosition());
        scan.Read(seg.data(), 88);
        ASSERT_LT(++iSegs, 1000);
    }
    EXPECT_LE(scan.GetPosition(), 0);
    // After segment k the read pointer stands at 9912 - 44k + 88: the scan
    // ends after the segment k that brings it to 0 or below.
    EXPECT_EQ(iSegs, (10000 + 43) / 44 + 1);
}

TEST(LSRCWaveScan, RampReachesTheTargetHop)
{
    // Rewind over 720 segments; forward over a ramp that is not a whole
    // number of segments (8000 samples of 88); no ramp keeps the hop.
    struct Case {
        int32_t iRate;
        double dFrom, dTo;
        int32_t iMs, iSeg, iFirst, iTarget, nSegs;
    };
    for (Case c : { Case { 44100, -0.5, -7.0, 8000, 490, -245, -3430, 721 },
             Case { 8000, 0.1, 3.0, 1000, 88, 8, 264, 95 },
             Case { 44100, 0.5, 7.0, 0, 490, 245, 245, 41 } }) {
        SCOPED_TRACE(c.iTarget);
        LSRCWaveScan scan(RampSource(1000000, 1, c.iRate), c.dFrom, c.dTo, c.iMs);
        EXPECT_EQ(scan.GetHop(), c.iFirst);
        std::vector<int32_t> buf(size_t(c.iSeg));
        int32_t iPrev = c.iFirst;
        for (int k = 0; k < c.nSegs; ++k) {
            scan.Read(buf.data(), c.iSeg);
            // Steadily towards the target, never past it.
            ASSERT_GE((scan.GetHop() - iPrev) * (c.iTarget - c.iFirst), 0) << k;
            ASSERT_GE((c.iTarget - scan.GetHop()) * (c.iTarget - c.iFirst), 0) << k;
            iPrev = scan.GetHop();
        }
        EXPECT_EQ(scan.GetHop(), c.iTarget);
    }
}

TEST(LSRCWaveScan, SeekRestartsAsAFreshScanThere)
{
    for (double f : { 0.7, -0.5, 2.0 }) {
        for (int ch : { 1, 2 }) {
            SCOPED_TRACE(testing::Message() << "factor " << f << " channels " << ch);
            auto hIn = RampSource(50000, ch, 8000);
            LSRCWaveScan scan(hIn, f);
            ReadFrames(scan, 3333);
            scan.Seek(20000);
            EXPECT_EQ(scan.GetPosition(), f < 0 ? 20000 - 88 : 20000);
            std::vector<int32_t> got = ReadFrames(scan, 5000, 613);

            auto hFresh = RampSource(50000, ch, 8000);
            hFresh->Seek(20000);
            LSRCWaveScan fresh(hFresh, f);
            EXPECT_EQ(got, ReadFrames(fresh, 5000, 1024));
        }
    }
}

TEST(LSRCWaveScan, BackwardStartBeforeFrameZeroReadsSilence)
{
    auto hIn = RampSource(50000, 1, 8000);
    hIn->Seek(100);
    LSRCWaveScan scan(hIn, -0.5);
    // The window reaches 7 segments back, before frame 0: zeros there.
    std::vector<int32_t> got = ReadFrames(scan, 88);
    for (int i = 0; i < 88; ++i)
        ASSERT_EQ(got[size_t(i)], hIn->Value(12 + i, 0));
    EXPECT_EQ(scan.GetPosition(), 100);
    ReadFrames(scan, 88 * 3);
    EXPECT_LT(scan.GetPosition(), 88);
}

TEST(LSRCFixedLength, CountsOutputFramesAndSeeksInProportion)
{
    auto hIn = RampSource(10000, 1, 8000);
    auto hScan = MakeHandle<LSRCWaveScan>(hIn, 0.5);
    LSRCFixedLength len(hScan, 20000);
    EXPECT_EQ(len.GetLength(), 20000);
    ReadFrames(len, 5000, 700);
    EXPECT_EQ(len.GetPosition(), 5000);
    EXPECT_EQ(hScan->GetPosition(), 5000 / 88 * 44 + 5000 % 88)
        << "the stretch counts input frames";
    len.Seek(8000);
    EXPECT_EQ(len.GetPosition(), 8000);
    EXPECT_EQ(hScan->GetPosition(), 4000);
    std::vector<int32_t> got = ReadFrames(len, 10);
    EXPECT_EQ(got[0], 4000 * 16);
}
