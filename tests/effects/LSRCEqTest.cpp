#include "effects/LSRCEq.h"

#include "EffectTestSupport.h"
#include "effects/PointList.h"
#include "support/AudioTestSupport.h"
#include "support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using TestSupport::FnSource;
using TestSupport::ReadFrames;

namespace {
// Random samples within +-iPeak, or (bSigns) each one +iPeak or -iPeak.
LHandle<FnSource> Noise(int32_t iLen, int iCh, int32_t iPeak, bool bSigns = false)
{
    return MakeHandle<FnSource>(44100, iCh, iLen, [iPeak, bSigns](int64_t f, int c) {
        uint32_t u = uint32_t(f * 2654435761u + uint32_t(c) * 97u + 12345u);
        u ^= u >> 15;
        u *= 0x2c1b3c6du;
        u ^= u >> 12;
        if (bSigns)
            return u & 0x100 ? iPeak : -iPeak;
        return int32_t(int64_t(u % (2u * uint32_t(iPeak) + 1)) - iPeak);
    });
}
} // namespace

TEST(PointList, FilesRoundTripAndBadFilesAreHeldToTheRules)
{
    TestSupport::TempDir dir;
    const std::string strPath = dir.File("curve.dat");
    PointList list = PointList::Of({ { 0, 128 }, { 40, 10 }, { 200, 255 }, { 255, 7 } });
    ASSERT_TRUE(list.Save(strPath));
    EXPECT_EQ(TestSupport::ReadAll(strPath),
        (std::vector<uint8_t> { 4, 0, 128, 40, 10, 200, 255, 255, 7 }));
    PointList back;
    ASSERT_TRUE(back.Load(strPath));
    ASSERT_EQ(back.nPoints, 4);
    EXPECT_TRUE(std::equal(back.aPoints, back.aPoints + 4, list.aPoints));

    struct Case {
        std::vector<uint8_t> bytes;
        bool bRead;
        std::vector<PointList::Point> expect;
    };
    std::vector<uint8_t> many { 200 };
    for (int i = 0; i < 200; ++i)
        many.insert(many.end(), { uint8_t(i), uint8_t(i) });
    const Case aCases[] = {
        { {}, false, {} }, // empty file
        { { 3, 10, 1, 5, 2, 30, 3 }, true, { { 10, 1 }, { 10, 2 }, { 30, 3 } } }, // x raised
        { { 5, 0, 1, 9, 2, 7 }, true, { { 0, 1 }, { 9, 2 } } }, // short: the whole pairs
        { { 0 }, true, {} },
    };
    for (const Case& c : aCases) {
        ASSERT_TRUE(TestSupport::WriteAll(strPath, c.bytes));
        PointList l = PointList::Flat();
        EXPECT_EQ(l.Load(strPath), c.bRead);
        ASSERT_EQ(l.nPoints, c.expect.size());
        EXPECT_TRUE(std::equal(c.expect.begin(), c.expect.end(), l.aPoints));
    }
    // 200 points: the first 64, and nothing read past the list.
    ASSERT_TRUE(TestSupport::WriteAll(strPath, many));
    PointList l;
    ASSERT_TRUE(l.Load(strPath));
    ASSERT_EQ(l.nPoints, 64);
    EXPECT_EQ(l.aPoints[63], (PointList::Point { 63, 63 }));
    EXPECT_FALSE(l.Load(dir.File("missing.dat")));
    EXPECT_EQ(l.nPoints, 0);
    EXPECT_FALSE(list.Save(dir.File("no/such/folder.dat")));
}

TEST(LSRCEq, GainTableFollowsTheCurve)
{
    struct Case {
        PointList list;
        int32_t iRate;
        std::vector<std::pair<int, int>> bins; // bin, gain
    };
    const Case aCases[] = {
        { {}, 44100, { { 0, 128 }, { 2047, 128 } } }, // empty: flat
        // 0 Hz to 19921.875 Hz; at 44100 Hz the last point lies at bin 1850.
        { PointList::Of({ { 0, 0 }, { 255, 255 } }), 44100,
            { { 0, 0 }, { 925, 127 }, { 1849, 254 }, { 1850, 255 }, { 2047, 255 } } },
        // At 8000 Hz x = 255 maps beyond the table: its last bin is written,
        // nothing past it. A rate of 0 counts as 44100.
        { PointList::Of({ { 0, 0 }, { 255, 255 } }), 8000, { { 0, 0 }, { 2047, 51 } } },
        { PointList::Of({ { 0, 0 }, { 255, 255 } }), 0, { { 925, 127 }, { 2047, 255 } } },
        { PointList::Of({ { 0, 50 } }), 44100, { { 0, 50 }, { 2047, 50 } } },
    };
    for (const Case& c : aCases) {
        const LEqGainTable t = EqGainTable(c.list, c.iRate);
        for (auto [iBin, iGain] : c.bins)
            EXPECT_EQ(t[size_t(iBin)], iGain) << "bin " << iBin << " at " << c.iRate;
    }
}

TEST(LSRCEq, FlatCurveIsTheIdentityAndSeeksStayAligned)
{
    const auto taps = LSRCEq::Design(EqGainTable(PointList::Flat(), 44100));
    EXPECT_EQ(taps[0], 32768);
    EXPECT_TRUE(std::all_of(taps.begin() + 1, taps.end(), [](int32_t h) { return h == 0; }));

    const int32_t iLen = 30000;
    // Flat at 128 and 64 (one tap) at, beyond and far beyond full scale (the block shifted by
    // iShift bits): samples rounded down as arithmetic shifts would.
    struct Flat {
        int32_t iPeak;
        bool bSigns;
        int iGain, iShift;
    };
    for (const Flat& l : { Flat { 0x7FFF0, false, 128, 0 }, Flat { 0x300000, false, 128, 0 },
             Flat { 0x4000011, true, 128, 5 }, Flat { 0x7FFF0, false, 64, 0 },
             Flat { 0x4000011, true, 64, 4 } }) {
        auto hNoise = Noise(iLen, 2, l.iPeak, l.bSigns);
        std::vector<int32_t> want = ReadFrames(*hNoise, iLen);
        for (int32_t& v : want)
            v = int32_t(((int64_t(v >> l.iShift) * l.iGain) << l.iShift) >> 7);
        hNoise->Seek(0);
        LSRCEq eq(hNoise, EqGainTable(PointList::Of({ { 0, uint8_t(l.iGain) } }), 44100));
        EXPECT_EQ(ReadFrames(eq, iLen, 5000), want) << l.iPeak << " at " << l.iGain;
    }
    // A shaped curve: frame p is the same read or sought to, also within the first 2047 frames.
    const LEqGainTable table
        = EqGainTable(PointList::Of({ { 0, 200 }, { 30, 60 }, { 255, 128 } }), 44100);
    auto hNoise = Noise(iLen, 1, 0x7FFF0);
    LSRCEq eq(hNoise, table);
    const std::vector<int32_t> all = ReadFrames(eq, iLen, 3000);
    for (int32_t p : { 1000, 2046, 2047, 9000, 20000 }) {
        eq.Seek(p);
        EXPECT_EQ(eq.GetPosition(), p);
        const std::vector<int32_t> part = ReadFrames(eq, 5000, 1234);
        EXPECT_EQ(eq.GetPosition(), p + 5000);
        EXPECT_TRUE(std::equal(part.begin(), part.end(), all.begin() + p)) << p;
    }
}

TEST(LSRCEq, BandGainsAreMeasuredOnSines)
{
    // 0 dB up to 1 kHz (x 12.8), falling to silence at 4 kHz (x 51.2), a
    // lift to 255 at 8 kHz (x 102.4) and back to 128 at 12 kHz.
    const PointList curve
        = PointList::Of({ { 0, 128 }, { 13, 128 }, { 51, 0 }, { 102, 255 }, { 154, 128 } });
    const LEqGainTable table = EqGainTable(curve, 44100);
    for (double dHz : { 300.0, 2500.0, 4000.0, 8000.0, 15000.0 }) {
        const size_t uBin = size_t(std::lround(dHz * 4096 / 44100));
        LSRCEq eq(TestSupport::SineSource(44100, 1, 44100, dHz, 0x20000), table);
        const std::vector<int32_t> v = ReadFrames(eq, 44100);
        const double dGain = EffectTest::Rms(v, 4096, 40000) / (0x20000 / std::sqrt(2.0));
        EXPECT_NEAR(dGain, table[uBin] / 128.0, 0.02) << dHz << " Hz, bin " << uBin;
    }
}

TEST(LSRCEq, FastConvolutionGivesTheDirectFormsBits)
{
    // Gentle to steepest and loudest curves, random and full-scale input, far beyond full scale.
    PointList zigzag;
    for (int x = 0; x <= 255; x += 8)
        zigzag.aPoints[zigzag.nPoints++] = { uint8_t(x), uint8_t(x % 16 ? 0 : 255) };
    const PointList aCurves[] = {
        PointList::Of({ { 0, 200 }, { 30, 60 }, { 255, 128 } }),
        PointList::Of({ { 0, 128 }, { 13, 128 }, { 51, 0 }, { 102, 255 }, { 154, 128 } }),
        zigzag,
        PointList::Of({ { 0, 255 }, { 255, 255 } }),
        PointList::Of({ { 0, 0 }, { 120, 0 }, { 121, 255 }, { 255, 255 } }),
    };
    struct Input {
        int iCh;
        int32_t iPeak;
        bool bSigns;
    };
    const Input aInputs[] = { { 2, 0x7FFF0, false }, { 2, 0x7FFF0, true }, { 1, 0x7FFF0, true },
        { 2, 0x4000000, true } };
    // Two blocks, and a seek inside the first.
    const int32_t iLen = LSRCEq::kBlock + 5000, iSeek = 700;
    for (const PointList& curve : aCurves) {
        const LEqGainTable table = EqGainTable(curve, 44100);
        for (const Input& in : aInputs) {
            LSRCEq fast(Noise(iLen, in.iCh, in.iPeak, in.bSigns), table);
            LSRCEq direct(Noise(iLen, in.iCh, in.iPeak, in.bSigns), table, LSRCEq::Method::Direct);
            const std::vector<int32_t> want = ReadFrames(direct, iLen, 4000);
            EXPECT_EQ(ReadFrames(fast, iLen, 3000), want)
                << int(curve.nPoints) << " points, peak " << in.iPeak << ", " << in.iCh;
            fast.Seek(iSeek);
            const std::vector<int32_t> part = ReadFrames(fast, iLen - iSeek, 5000);
            EXPECT_TRUE(std::equal(part.begin(), part.end(), want.begin() + iSeek * in.iCh));
        }
    }
}
