#include "edit/LSRCCutListAudio.h"
#include "effects/LCutListAudioLoadSource.h"
#include "effects/LDBTablesClass.h"
#include "effects/LEfSoundProcess.h"
#include "effects/LPRSourceToSink.h"
#include "effects/LSRCPeakLimit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
// A source of a counting ramp (value = frame x 16 + channel) with a chosen
// peak bound; counts its reads.
class RampSource : public LSoundSourceBase {
public:
    RampSource(int32_t iLen, int iCh, int32_t iRate = 8000, uint32_t uPeak = 0x7FFF0, int32_t iScale = 16)
        : LSoundSourceBase(iRate, iCh, uPeak), iLength(iLen), iScale(iScale)
    {
    }
    int32_t ReadAudio(int32_t* p, int32_t n) override
    {
        ++iReads;
        for (int32_t f = 0; f < n; ++f, ++iPos)
            for (int c = 0; c < GetChannels(); ++c)
                p[f * GetChannels() + c] = iPos >= 0 && iPos < iLength ? Value(iPos, c) : 0;
        return n;
    }
    int32_t Value(int32_t f, int c) const { return (f % 20000) * iScale + c; }
    int32_t GetPosition() override { return iPos; }
    int32_t GetLength() override { return iLength; }
    void Seek(int32_t f) override { iPos = f; }
    int iReads = 0;

private:
    int32_t iLength, iScale, iPos = 0;
};

class RecordingSink : public LSoundSinkBase {
public:
    RecordingSink(int32_t iRate, int iCh) : LSoundSinkBase(iRate, iCh) {}
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
    LPRSourceToSink data{"Test", hSrc, SinkHandle(hSink)};
    Process<LPRSourceToSink> run("Test", data);
    run.Run();
    return run.GetResult();
}
} // namespace

TEST(LPRSourceToSink, WritesExactlyTheLength)
{
    for (int32_t iLen : {0, 1, 8192, 8193, 20000}) {
        auto hSink = MakeHandle<RecordingSink>(8000, 1);
        EXPECT_EQ(Pump(MakeHandle<RampSource>(iLen, 1), hSink), 0);
        int64_t iSum = 0;
        for (int32_t n : hSink->writes) {
            EXPECT_GT(n, 0);
            iSum += n;
        }
        EXPECT_EQ(iSum, iLen);
        if (iLen == 8193) {
            EXPECT_EQ(hSink->writes, (std::vector<int32_t>{8192, 1}));
        }
        for (int32_t f = 0; f < iLen; ++f)
            ASSERT_EQ(hSink->data[size_t(f)], (f % 20000) * 16);
    }
}

TEST(LPRSourceToSink, MatchesChannelsAndRefusesWhatItCannot)
{
    auto hMono = MakeHandle<RecordingSink>(8000, 1);
    EXPECT_EQ(Pump(MakeHandle<RampSource>(100, 2), hMono), 0);
    EXPECT_EQ(hMono->data[10], 10 * 16) << "stereo to mono keeps the left channel";
    auto hStereo = MakeHandle<RecordingSink>(8000, 2);
    EXPECT_EQ(Pump(MakeHandle<RampSource>(100, 1), hStereo), 0);
    EXPECT_EQ(hStereo->data[20], 10 * 16);
    EXPECT_EQ(hStereo->data[21], 10 * 16);
    // Four channels into two cannot be matched.
    EXPECT_EQ(Pump(MakeHandle<RampSource>(100, 4), MakeHandle<RecordingSink>(8000, 2)), 2);
    // No sink: refused without reading.
    auto hSrc = MakeHandle<RampSource>(100, 1);
    LPRSourceToSink data{"Test", SourceHandle(hSrc), SinkHandle()};
    Process<LPRSourceToSink> run("Test", data);
    EXPECT_FALSE(run.Run());
    EXPECT_EQ(run.GetResult(), 2);
    EXPECT_EQ(hSrc->iReads, 0);
}

TEST(LPRSourceToSink, LimitsLoudSourcesToSixteenBits)
{
    auto hSink = MakeHandle<RecordingSink>(44100, 1);
    // Values up to 20000 x 40 = 800000, beyond 16-bit full scale.
    EXPECT_EQ(Pump(MakeHandle<RampSource>(60000, 1, 44100, 0x200000, 40), hSink), 0);
    ASSERT_EQ(hSink->data.size(), 60000u);
    int32_t iMax = 0;
    for (int32_t s : hSink->data)
        iMax = std::max(iMax, std::abs(s));
    EXPECT_LE(iMax, 0x7FFF0);
    EXPECT_GT(iMax, 0x70000);
}

TEST(LSRCPeakLimit, QuietPassesExactlyLoudIsBoundedAhead)
{
    auto hQuiet = MakeHandle<RampSource>(30000, 2, 44100);
    LSRCPeakLimit quiet(hQuiet, 0x7FFF0);
    EXPECT_EQ(quiet.GetBlockFrames(), 1260);
    std::vector<int32_t> buf(2 * 5000);
    quiet.Read(buf.data(), 5000);
    for (int32_t f = 0; f < 5000; ++f)
        ASSERT_EQ(buf[size_t(2 * f + 1)], hQuiet->Value(f, 1));
    EXPECT_EQ(quiet.GetPosition(), 5000);

    // Silence, then a full-scale square burst at frame 3000.
    class Burst : public LSoundSourceBase {
    public:
        Burst() : LSoundSourceBase(6000, 1, 0x200000) {}
        int32_t ReadAudio(int32_t* p, int32_t n) override
        {
            for (int32_t i = 0; i < n; ++i, ++iPos)
                p[i] = iPos >= 3000 ? ((iPos & 8) ? 0x1FFFFF : -0x200000) : 0;
            return n;
        }
        int32_t GetPosition() override { return iPos; }
        int32_t GetLength() override { return 10000; }
        int32_t iPos = 0;
    };
    LSRCPeakLimit loud(MakeHandle<Burst>(), 0x7FFF0);
    EXPECT_EQ(loud.GetBlockFrames(), 171);
    std::vector<int32_t> out(10000);
    for (int i = 0; i < 10000; i += 1000)
        loud.Read(out.data() + i, 1000);
    for (int32_t i = 3000; i < 10000; ++i)
        ASSERT_LE(std::abs(out[size_t(i)]), 0x80000) << i;
    EXPECT_GT(std::abs(out[9000]), 0x70000);
    EXPECT_EQ(LSRCPeakLimit(MakeHandle<Burst>(), 0x500000).GetPeak(), 0x3FFFFFu);
    EXPECT_EQ(LSRCPeakLimit(MakeHandle<RampSource>(1, 1, 600), 0x7FFF0).GetBlockFrames(), 20);
}

TEST(LDBTablesClass, KnownEntries)
{
    EXPECT_EQ(LDBTablesClass::Amplitude(0), 0x1000000);
    EXPECT_EQ(LDBTablesClass::Amplitude(43), 0x7FFFFFFF);
    EXPECT_EQ(LDBTablesClass::Amplitude(127), 0x7FFFFFFF);
    EXPECT_LT(LDBTablesClass::Amplitude(42), 0x7FFFFFFF);
    EXPECT_EQ(LDBTablesClass::Amplitude(-127), 0);
    EXPECT_EQ(LDBTablesClass::Power(-128), 0);
    EXPECT_EQ(LDBTablesClass::Amplitude(-6), int32_t(std::pow(10, -0.3) * 16777216 + 0.5));
    EXPECT_EQ(LDBTablesClass::Power(-3), int32_t(std::pow(10, -0.3) * 16777216 + 0.5));
}

namespace {
LCutListAudio LoadRamp(int32_t iLen)
{
    LCutListAudio list;
    LCutListAudioLoadSource load{"Loading", &list, MakeHandle<RampSource>(iLen, 1)};
    Process<LCutListAudioLoadSource> run("Loading", load);
    EXPECT_TRUE(run.Run());
    return list;
}
} // namespace

TEST(LEfSoundProcess, RangeEffectReplacesTheSelectionOrNothing)
{
    LCutListAudio doc = LoadRamp(30000);
    ASSERT_EQ(doc.GetTotalLength(), 30000);
    // An effect that negates: the selection 1000..21000 changes, the rest not.
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
    LEffectWrap wrap = [](SourceHandle h) { return SourceHandle(MakeHandle<Negate>(h)); };
    struct Range {
        LCutListAudio* pDoc;
        LEffectWrap wrap;
    } r{&doc, wrap};
    struct Body {
        static int Run(LProgressDialog& dlg, Range& r) { return EfRunRangeEffect(dlg, *r.pDoc, 1000, 21000, "Negate", r.wrap); }
    };
    class RangeRun : public LProgressDialog {
    public:
        RangeRun(Range& r) : LProgressDialog("Negate"), r(r) {}
        bool Operation() override { return (iResult = Body::Run(*this, r)) == 0; }
        Range& r;
        int iResult = -1;
    };
    LSilentProgressView::SetCancelAfterPumps(2);
    RangeRun cancelled(r);
    EXPECT_FALSE(cancelled.Run());
    LSilentProgressView::SetCancelAfterPumps(0);
    std::vector<int32_t> buf(30000);
    LSRCCutListAudio(doc).Read(buf.data(), 8192);
    EXPECT_EQ(buf[5000], 5000 * 16) << "cancelled: untouched";
    RangeRun done(r);
    EXPECT_TRUE(done.Run());
    EXPECT_EQ(doc.GetTotalLength(), 30000);
    LSRCCutListAudio src(doc);
    for (int i = 0; i < 30000; i += 7500)
        src.Read(buf.data() + i, 7500);
    EXPECT_EQ(buf[999], 999 * 16);
    EXPECT_EQ(buf[1000], -1000 * 16);
    EXPECT_EQ(buf[20999], -(20999 % 20000) * 16);
    EXPECT_EQ(buf[21000], (21000 % 20000) * 16);
}

TEST(LCutListAudioLoadSource, CancelLeavesTheTargetAsItWas)
{
    LCutListAudio list = LoadRamp(100);
    LSilentProgressView::SetCancelAfterPumps(2);
    LCutListAudioLoadSource load{"Loading", &list, MakeHandle<RampSource>(50000, 1)};
    Process<LCutListAudioLoadSource> run("Loading", load);
    EXPECT_FALSE(run.Run());
    LSilentProgressView::SetCancelAfterPumps(0);
    EXPECT_EQ(run.GetResult(), 1);
    EXPECT_EQ(list.GetTotalLength(), 100);
}
