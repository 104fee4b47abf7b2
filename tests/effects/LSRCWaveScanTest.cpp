#include "effects/LSRCFixedLength.h"
#include "effects/LSRCWaveScan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {
// value = frame x 16 + channel inside [0, length), zeros outside; seekable
// to any frame, negative included.
class Ramp : public LSoundSourceBase {
public:
    Ramp(int32_t iLen, int iCh, int32_t iRate) : LSoundSourceBase(iRate, iCh, 0x7FFF0), iLength(iLen) {}
    int32_t ReadAudio(int32_t* p, int32_t n) override
    {
        ++iReads;
        for (int32_t f = 0; f < n; ++f, ++iPos)
            for (int c = 0; c < GetChannels(); ++c)
                *p++ = Value(iPos, c);
        return n;
    }
    int32_t Value(int64_t f, int c) const { return f >= 0 && f < iLength ? int32_t(f * 16 + c) : 0; }
    int32_t GetPosition() override { return iPos; }
    int32_t GetLength() override { return iLength; }
    void Seek(int32_t f) override { iPos = f; }
    int32_t iLength, iPos = 0;
    int iReads = 0;
};

class Sine : public LSoundSourceBase {
public:
    Sine(int32_t iLen, int32_t iRate, double dHz) : LSoundSourceBase(iRate, 1, 0x7FFF0), iLength(iLen), dHz(dHz) {}
    int32_t ReadAudio(int32_t* p, int32_t n) override
    {
        for (int32_t i = 0; i < n; ++i, ++iPos)
            p[i] = iPos >= 0 && iPos < iLength
                       ? int32_t(std::lround(0x40000 * std::sin(2 * std::numbers::pi * dHz * iPos / GetSampleRate())))
                       : 0;
        return n;
    }
    int32_t GetPosition() override { return iPos; }
    int32_t GetLength() override { return iLength; }
    void Seek(int32_t f) override { iPos = f; }
    int32_t iLength, iPos = 0;
    double dHz;
};

std::vector<int32_t> ReadFrames(LSoundSourceBase& s, int32_t iFrames, int32_t iPiece = 1000)
{
    std::vector<int32_t> out(size_t(iFrames) * size_t(s.GetChannels()));
    for (int32_t i = 0; i < iFrames; i += iPiece)
        s.Read(out.data() + size_t(i) * size_t(s.GetChannels()), std::min(iPiece, iFrames - i));
    return out;
}

// Reads until the position reaches the length, the way the pump ends.
std::vector<int32_t> ReadToEnd(LSoundSourceBase& s)
{
    std::vector<int32_t> out, block(size_t(s.GetChannels()) * 512);
    while (s.GetPosition() < s.GetLength() && out.size() < 10000000) {
        s.Read(block.data(), 512);
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

// Dominant frequency by rising zero crossings, away from both ends.
double Frequency(const std::vector<int32_t>& v, int32_t iRate)
{
    size_t uFrom = v.size() / 10, uTo = v.size() - v.size() / 10;
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

// Weight of the old grain at sample i of a segment of S samples, Q24.
int32_t Weight(int32_t i, int32_t S)
{
    if (i < S / 2)
        return 0x1000000;
    int32_t L = S - S / 2;
    return int32_t((0.5 + 0.5 * std::cos(std::numbers::pi * (i - S / 2) / L)) * 0x1000000 + 0.5);
}

// The stretch written out directly: segment k mixes the continuation of
// grain k-1 with grain k, grain k starting k hops after the first grain;
// the first segment is the input itself.
std::vector<int32_t> Model(const Ramp& in, int32_t S, int64_t iFirst, int64_t iHop, int iSegments)
{
    const int ch = in.GetChannels();
    auto At = [&](int64_t s) { return in.Value(s >= 0 ? s / ch : (s - ch + 1) / ch, int(((s % ch) + ch) % ch)); };
    std::vector<int32_t> out;
    for (int k = 0; k < iSegments; ++k) {
        int64_t g = iFirst + k * iHop, old = k == 0 ? g : g - iHop + S;
        for (int32_t i = 0; i < S; ++i) {
            int32_t c = Weight(i, S);
            out.push_back(int32_t((int64_t(At(old + i)) * c + int64_t(At(g + i)) * (0x1000000 - c) + 0x800000) >> 24));
        }
    }
    return out;
}
} // namespace

TEST(LSRCWaveScan, SegmentIsARateNinetiethClampedTimesChannels)
{
    EXPECT_EQ(LSRCWaveScan(MakeHandle<Ramp>(10, 1, 44100), 1.0).GetSegmentSamples(), 490);
    EXPECT_EQ(LSRCWaveScan(MakeHandle<Ramp>(10, 2, 44100), 1.0).GetSegmentSamples(), 980);
    EXPECT_EQ(LSRCWaveScan(MakeHandle<Ramp>(10, 1, 1000), 1.0).GetSegmentSamples(), 20);
    EXPECT_EQ(LSRCWaveScan(MakeHandle<Ramp>(10, 2, 384000), 1.0).GetSegmentSamples(), 2 * 2730);
    EXPECT_EQ(LSRCWaveScan(MakeHandle<Ramp>(10, 1, 44100), 0.5).GetHop(), 245);
    EXPECT_EQ(LSRCWaveScan(MakeHandle<Ramp>(10, 1, 44100), 0.3).GetHop(), 147);
    // 88 x 2 x 0.3 = 52.8 samples: hop 52, used as 26 whole frames.
    LSRCWaveScan stereo(MakeHandle<Ramp>(10, 2, 8000), 0.3);
    EXPECT_EQ(stereo.GetHop(), 52);
    EXPECT_EQ(stereo.GetHopFrames(), 26);
}

TEST(LSRCWaveScan, FactorOneIsTheInputItself)
{
    for (int ch : {1, 2}) {
        auto hIn = MakeHandle<Ramp>(30000, ch, 44100);
        LSRCWaveScan scan(hIn, 1.0);
        std::vector<int32_t> out = ReadFrames(scan, 20000, 777);
        for (int32_t f = 0; f < 20000; ++f)
            for (int c = 0; c < ch; ++c)
                ASSERT_EQ(out[size_t(f * ch + c)], hIn->Value(f, c)) << f;
        EXPECT_EQ(scan.GetPosition(), 20000);
        EXPECT_EQ(scan.GetLength(), 30000);
    }
}

TEST(LSRCWaveScan, OutputIsTheCrossfadedGrains)
{
    struct Case {
        int ch;
        double f;
    };
    // 8000 Hz: S = 88 frames. Hops below, at and past the window's reach,
    // forwards and backwards.
    for (Case k : {Case{1, 0.5}, Case{1, 2.0}, Case{1, 12.0}, Case{2, 0.3}, Case{1, -0.5}, Case{2, -0.5},
                   Case{1, -7.0}, Case{2, 3.0}}) {
        SCOPED_TRACE(testing::Message() << "channels " << k.ch << " factor " << k.f);
        auto hIn = MakeHandle<Ramp>(60000, k.ch, 8000);
        hIn->Seek(30000);
        LSRCWaveScan scan(hIn, k.f);
        const int32_t S = scan.GetSegmentSamples();
        ASSERT_EQ(S, 88 * k.ch);
        const int64_t iHop = int64_t(scan.GetHopFrames()) * k.ch;
        const int64_t iFirst = (k.f < 0 ? 30000 - 88 : 30000) * int64_t(k.ch);
        const int iSegs = 150;
        std::vector<int32_t> want = Model(*hIn, S, iFirst, iHop, iSegs);
        std::vector<int32_t> got = ReadFrames(scan, iSegs * 88, 301);
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], want[i]) << "sample " << i;
    }
    // A few samples worked by hand, mono, hop 44: segment 1 mixes input from
    // frame 88 on (old) with input from frame 44 on (new).
    auto hIn = MakeHandle<Ramp>(60000, 1, 8000);
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

TEST(LSRCWaveScan, HalfHopDoublesTheDurationAndKeepsThePitch)
{
    // 900 Hz has a period of 49 frames, a divisor of every grain offset at
    // 44100 Hz (S = 490, hops 245 and 980): the grains meet in phase and the
    // frequency must come out exact. At 441 Hz the grains meet out of phase
    // and each crossfade slips the phase by up to half a cycle, 90 times a
    // second: the pitch stays within 45 Hz, far from the halved or doubled
    // pitch of a resampling.
    for (double f : {0.5, 2.0}) {
        for (double dHz : {900.0, 441.0}) {
            SCOPED_TRACE(testing::Message() << "factor " << f << " at " << dHz << " Hz");
            LSRCWaveScan scan(MakeHandle<Sine>(44100, 44100, dHz), f);
            std::vector<int32_t> out = ReadToEnd(scan);
            EXPECT_NEAR(double(out.size()), 44100 / f, 2 * 490 + 512);
            EXPECT_NEAR(Frequency(out, 44100), dHz, dHz == 900.0 ? 900.0 * 0.005 : 46.0);
        }
    }
}

TEST(LSRCWaveScan, NegativeHopStepsBackAndEndsAtFrameZero)
{
    auto hIn = MakeHandle<Ramp>(60000, 1, 8000);
    hIn->Seek(10000);
    LSRCWaveScan scan(hIn, -0.5);
    EXPECT_EQ(scan.GetHop(), -44);
    // The first grain is the segment just before the starting frame.
    EXPECT_EQ(scan.GetPosition(), 10000 - 88);
    EXPECT_EQ(scan.GetLength(), 2 * scan.GetPosition());
    std::vector<int32_t> seg(88);
    int32_t iPrevStart = 0;
    int iSegs = 0;
    while (scan.GetPosition() < scan.GetLength()) {
        ASSERT_EQ(scan.GetLength(), 2 * scan.GetPosition());
        scan.Read(seg.data(), 88);
        // Every snippet plays forwards for its first half.
        for (int i = 1; i < 44 && seg[0] > 0; ++i)
            ASSERT_EQ(seg[size_t(i)] - seg[size_t(i - 1)], 16) << "segment " << iSegs;
        if (iSegs >= 2 && seg[0] > 0) {
            // Each segment's old grain continues the previous new grain, which stepped back 44 frames.
            ASSERT_EQ(seg[0] - iPrevStart, -44 * 16) << "segment " << iSegs;
        }
        iPrevStart = seg[0];
        ++iSegs;
        ASSERT_LT(iSegs, 1000);
    }
    EXPECT_LE(scan.GetPosition(), 0);
    // After segment k the read pointer stands at 9912 - 44k + 88: the scan
    // ends after the segment k that brings it to 0 or below.
    EXPECT_EQ(iSegs, (10000 + 43) / 44 + 1);
}

TEST(LSRCWaveScan, RampReachesTheTargetHop)
{
    // Rewind at 44100 Hz mono: -245 to -3430 over 8 s of output (720 segments).
    {
        LSRCWaveScan scan(MakeHandle<Ramp>(1000000, 1, 44100), -0.5, -7.0, 8000);
        EXPECT_EQ(scan.GetHop(), -245);
        std::vector<int32_t> buf(490);
        int32_t iPrev = scan.GetHop();
        for (int k = 0; k < 720; ++k) {
            scan.Read(buf.data(), 490);
            ASSERT_LE(scan.GetHop(), iPrev);
            ASSERT_GE(scan.GetHop(), -3430);
            iPrev = scan.GetHop();
        }
        EXPECT_GT(scan.GetHop(), -3430) << "the last step comes with the next segment";
        scan.Read(buf.data(), 1);
        EXPECT_EQ(scan.GetHop(), -3430);
        scan.Read(buf.data(), 490);
        EXPECT_EQ(scan.GetHop(), -3430);
    }
    // Forward, a ramp that is not a whole number of segments (8000 samples
    // of 88): no overshoot, and exactly the target once used up.
    {
        LSRCWaveScan scan(MakeHandle<Ramp>(1000000, 1, 8000), 0.1, 3.0, 1000);
        EXPECT_EQ(scan.GetHop(), 8);
        std::vector<int32_t> buf(88);
        for (int k = 0; k < 95; ++k) {
            scan.Read(buf.data(), 88);
            ASSERT_LE(scan.GetHop(), 264);
        }
        EXPECT_EQ(scan.GetHop(), 264);
    }
    // No ramp: Play Slow keeps its hop.
    {
        LSRCWaveScan scan(MakeHandle<Ramp>(100000, 1, 44100), 0.5, 7.0, 0);
        std::vector<int32_t> buf(20000);
        scan.Read(buf.data(), 20000);
        EXPECT_EQ(scan.GetHop(), 245);
    }
}

TEST(LSRCWaveScan, SeekRestartsAsAFreshScanThere)
{
    for (double f : {0.7, -0.5, 2.0}) {
        for (int ch : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "factor " << f << " channels " << ch);
            auto hIn = MakeHandle<Ramp>(50000, ch, 8000);
            LSRCWaveScan scan(hIn, f);
            ReadFrames(scan, 3333);
            scan.Seek(20000);
            EXPECT_EQ(scan.GetPosition(), f < 0 ? 20000 - 88 : 20000);
            std::vector<int32_t> got = ReadFrames(scan, 5000, 613);

            auto hFresh = MakeHandle<Ramp>(50000, ch, 8000);
            hFresh->Seek(20000);
            LSRCWaveScan fresh(hFresh, f);
            EXPECT_EQ(got, ReadFrames(fresh, 5000, 1024));
            // The first segment after the seek is the input itself.
            int64_t iFirst = f < 0 ? 20000 - 88 : 20000;
            for (int i = 0; i < 44 * ch; ++i)
                ASSERT_EQ(got[size_t(i)], hIn->Value(iFirst + i / ch, i % ch));
        }
    }
}

TEST(LSRCWaveScan, BackwardStartBeforeFrameZeroReadsSilence)
{
    auto hIn = MakeHandle<Ramp>(50000, 1, 8000);
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
    auto hIn = MakeHandle<Ramp>(10000, 1, 8000);
    auto hScan = MakeHandle<LSRCWaveScan>(hIn, 0.5);
    LSRCFixedLength len(hScan, 20000);
    EXPECT_EQ(len.GetLength(), 20000);
    ReadFrames(len, 5000, 700);
    EXPECT_EQ(len.GetPosition(), 5000);
    EXPECT_EQ(hScan->GetPosition(), 5000 / 88 * 44 + 5000 % 88) << "the stretch counts input frames";
    len.Seek(8000);
    EXPECT_EQ(len.GetPosition(), 8000);
    EXPECT_EQ(hScan->GetPosition(), 4000);
    std::vector<int32_t> got = ReadFrames(len, 10);
    EXPECT_EQ(got[0], 4000 * 16);
}
