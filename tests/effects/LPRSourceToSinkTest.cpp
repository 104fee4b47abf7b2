#include "effects/LPRSourceToSink.h"

#include "EffectTestSupport.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LCutListAudioLoadSource.h"
#include "effects/LDBTablesClass.h"
#include "effects/LEfSoundProcess.h"
#include "effects/LSRCPeakLimit.h"
#include "support/AudioTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using TestSupport::FnSource;

namespace {
// A counting ramp, (frame mod 20000) x iScale + channel, with a chosen peak bound.
LHandle<FnSource> RampSource(
    int32_t iLen, int iCh, int32_t iRate = 8000, uint32_t uPeak = 0x7FFF0, int32_t iScale = 16)
{
    return MakeHandle<FnSource>(
        iRate, iCh, iLen, [=](int64_t f, int c) { return int32_t(f % 20000) * iScale + c; }, uPeak);
}

class RecordingSink : public LSoundSinkBase {
public:
    RecordingSink(int32_t iRate, int iCh)
        : LSoundSinkBase(iRate, iCh)
    {
    }
    void Write(const int32_t* p, int32_t n) override
    {
        LSoundSinkBase::Write(p, n);
        writes.push_back(n);
        data.insert(data.end(), p, p + size_t(n) * size_t(GetChannels()));
    }
    std::vector<int32_t> writes;
    std::vector<int32_t> data;
};

int Pump(SourceHandle hSrc, LHandle<RecordingSink> hSink)
{
    LPRSourceToSink data { "Test", hSrc, SinkHandle(hSink) };
    return EffectTest::RunBody(data);
}
} // namespace

TEST(LPRSourceToSink, WritesExactlyTheLength)
{
    for (int32_t iLen : { 0, 1, 8192, 8193, 20000 }) {
        auto hSink = MakeHandle<RecordingSink>(8000, 1);
        EXPECT_EQ(Pump(RampSource(iLen, 1), hSink), 0);
        int64_t iSum = 0;
        for (int32_t n : hSink->writes) {
            EXPECT_GT(n, 0);
            iSum += n;
        }
        EXPECT_EQ(iSum, iLen);
        if (iLen == 8193) {
            EXPECT_EQ(hSink->writes, (std::vector<int32_t> { 8192, 1 }));
        }
        for (int32_t f = 0; f < iLen; ++f)
            ASSERT_EQ(hSink->data[size_t(f)], (f % 20000) * 16);
    }
}

TEST(LPRSourceToSink, MatchesChannelsAndRefusesWhatItCannot)
{
    auto hMono = MakeHandle<RecordingSink>(8000, 1);
    EXPECT_EQ(Pump(RampSource(100, 2), hMono), 0);
    EXPECT_EQ(hMono->data[10], 10 * 16) << "stereo to mono keeps the left channel";
    auto hStereo = MakeHandle<RecordingSink>(8000, 2);
    EXPECT_EQ(Pump(RampSource(100, 1), hStereo), 0);
    EXPECT_EQ(hStereo->data[20], 10 * 16);
    EXPECT_EQ(hStereo->data[21], 10 * 16);
    // Four channels into two cannot be matched.
    EXPECT_EQ(Pump(RampSource(100, 4), MakeHandle<RecordingSink>(8000, 2)), 2);
    // No sink: refused without reading.
    auto hSrc = RampSource(100, 1);
    EXPECT_EQ(Pump(hSrc, LHandle<RecordingSink>()), 2);
    EXPECT_EQ(hSrc->iReads, 0);
}

TEST(LPRSourceToSink, LimitsLoudSourcesToSixteenBits)
{
    auto hSink = MakeHandle<RecordingSink>(44100, 1);
    // Values up to 20000 x 40 = 800000, beyond 16-bit full scale.
    EXPECT_EQ(Pump(RampSource(60000, 1, 44100, 0x200000, 40), hSink), 0);
    ASSERT_EQ(hSink->data.size(), 60000u);
    int32_t iMax = 0;
    for (int32_t s : hSink->data)
        iMax = std::max(iMax, std::abs(s));
    EXPECT_LE(iMax, 0x7FFF0);
    EXPECT_GT(iMax, 0x70000);
}

TEST(LSRCPeakLimit, QuietPassesExactlyLoudIsBoundedAhead)
{
    auto hQuiet = RampSource(30000, 2, 44100);
    LSRCPeakLimit quiet(hQuiet, 0x7FFF0);
    std::vector<int32_t> buf(2 * 5000);
    quiet.Read(buf.data(), 5000);
    for (int32_t f = 0; f < 5000; ++f)
        ASSERT_EQ(buf[size_t(2 * f + 1)], hQuiet->Value(f, 1));
    EXPECT_EQ(quiet.GetPosition(), 5000);
    // A seek drops what was read ahead.
    quiet.Seek(2000);
    EXPECT_EQ(quiet.GetPosition(), 2000);
    quiet.Read(buf.data(), 100);
    EXPECT_EQ(buf[1], hQuiet->Value(2000, 1));
    EXPECT_EQ(quiet.GetPosition(), 2100);

    // Silence, then a full-scale square burst at frame 3000.
    auto Burst = [] {
        return MakeHandle<FnSource>(
            6000, 1, 10000,
            [](int64_t f, int) { return f >= 3000 ? ((f & 8) ? 0x1FFFFF : -0x200000) : 0; },
            0x200000);
    };
    LSRCPeakLimit loud(Burst(), 0x7FFF0);
    std::vector<int32_t> out(10000);
    for (int i = 0; i < 10000; i += 1000)
        loud.Read(out.data() + i, 1000);
    for (int32_t i = 3000; i < 10000; ++i)
        ASSERT_LE(std::abs(out[size_t(i)]), 0x80000) << i;
    EXPECT_GT(std::abs(out[9000]), 0x70000);
    EXPECT_EQ(LSRCPeakLimit(Burst(), 0x500000).GetPeak(), 0x3FFFFFu);
    EXPECT_EQ(LSRCPeakLimit(RampSource(1, 1, 600), 0x7FFF0).GetBlockFrames(), 20);
}

TEST(LDBTablesClass, KnownEntries)
{
    // Unity at 0 dB, the largest gain from 43 dB on, silence at the bottom.
    for (auto [iDB, iGain] : { std::pair { 0, 0x1000000 }, { 43, 0x7FFFFFFF }, { 127, 0x7FFFFFFF },
             { -127, 0 }, { -6, int32_t(std::pow(10, -0.3) * 16777216 + 0.5) } })
        EXPECT_EQ(LDBTablesClass::Amplitude(iDB), iGain) << iDB;
    EXPECT_LT(LDBTablesClass::Amplitude(42), 0x7FFFFFFF);
    EXPECT_EQ(LDBTablesClass::Power(-128), 0);
    EXPECT_EQ(LDBTablesClass::Power(-3), int32_t(std::pow(10, -0.3) * 16777216 + 0.5));
}

namespace {
class Negate : public LSRCFilterBase {
public:
    using LSRCFilterBase::LSRCFilterBase;
    int32_t ReadAudio(int32_t* p, int32_t n) override
    {
        hSource->Read(p, n);
        for (int32_t i = 0; i < n; ++i)
            p[i] = -p[i];
        return n;
    }
};

// Negates frames 1000..21000 of the document.
struct NegateRange {
    LCutListAudio* pDoc;
};
int ProcessBody(LProgressDialog& dlg, NegateRange& r)
{
    return EfRunRangeEffect(dlg, *r.pDoc, 1000, 21000, "Negate",
        [](SourceHandle h) { return SourceHandle(MakeHandle<Negate>(h)); });
}
} // namespace

TEST(LEfSoundProcess, RangeEffectReplacesTheSelectionOrNothing)
{
    LCutListAudio doc = EffectTest::Load(RampSource(30000, 1));
    ASSERT_EQ(doc.GetTotalLength(), 30000);
    const auto before = EffectTest::Records(doc);
    NegateRange r { &doc };
    EXPECT_EQ(EffectTest::RunBody(r, 2), 1);
    EXPECT_EQ(EffectTest::Records(doc), before) << "cancelled: untouched";
    EXPECT_EQ(EffectTest::RunBody(r), 0);
    std::vector<int32_t> v = EffectTest::Samples(doc);
    ASSERT_EQ(v.size(), 30000u);
    for (int32_t f = 0; f < 30000; ++f)
        ASSERT_EQ(v[size_t(f)], (f >= 1000 && f < 21000 ? -16 : 16) * (f % 20000)) << f;
}

TEST(LCutListAudioLoadSource, CancelLeavesTheTargetAsItWas)
{
    LCutListAudio list = EffectTest::Load(RampSource(100, 1));
    const auto before = EffectTest::Records(list);
    LCutListAudioLoadSource load { "Loading", &list, RampSource(50000, 1) };
    EXPECT_EQ(EffectTest::RunBody(load, 2), 1);
    EXPECT_EQ(EffectTest::Records(list), before);
}
