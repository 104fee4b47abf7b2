#include "engine/LRecordGate.h"

#include "support/RecordGateTake.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace {
constexpr int32_t kRate = 44100, kBuf = 4410;
constexpr int kCh = 2;

// A stretch of input: a 441 Hz tone of the amplitude (0 = silence) on both
// channels, frames long; every sample carries the DC offset.
struct Piece {
    int32_t iFrames;
    int iAmplitude;
};

std::vector<int16_t> Build(const std::vector<Piece>& pieces, int iDc)
{
    std::vector<int16_t> v;
    int64_t f0 = 0;
    for (const Piece& p : pieces) {
        for (int32_t f = 0; f < p.iFrames; ++f) {
            double s = p.iAmplitude * std::sin(2 * std::numbers::pi * 441 * double(f0 + f) / kRate);
            for (int c = 0; c < kCh; ++c)
                v.push_back(int16_t(std::lround(s) + iDc));
        }
        f0 += p.iFrames;
    }
    return v;
}
} // namespace

TEST(LRecordGate, PeakLevelsAndThresholds)
{
    const struct {
        uint32_t uPeak;
        int iDb;
    } aCases[] = { { 0, -127 }, { 1, -102 }, { 123739, -1 }, { 123740, 0 }, { 0x20000, 0 },
        { 0x7FFF0, 12 }, { 0xFFFFFFFF, 90 } };
    for (const auto& c : aCases)
        EXPECT_EQ(LRecordGate::PeakLevel(c.uPeak), c.iDb) << c.uPeak;
    EXPECT_EQ(LRecordGate::StopThreshold(-24), -29);
    EXPECT_EQ(LRecordGate::StopThreshold(-125), -127);
}

TEST(LRecordGate, RemovesTheDcOffsetAndKeepsTheTone)
{
    MemorySink sink(kRate, kCh);
    LRecordGate gate(sink, kBuf, {});
    const std::vector<int16_t> in = Build({ { 2 * kRate, 0 }, { kRate, 10000 } }, 1000);
    for (size_t i = 0; i < in.size(); i += kBuf * kCh)
        gate.Process(in.data() + i, kBuf);
    ASSERT_EQ(sink.GetFramesWritten(), 3 * kRate) << "without a threshold every frame is kept";
    // The offset is gone well before the end of the first second.
    for (size_t i = size_t(kRate) * kCh; i < size_t(2 * kRate) * kCh; ++i)
        ASSERT_EQ(sink.v[i], 0) << i;
    int32_t iMax = 0, iMin = 0;
    int64_t iSum = 0;
    // 200 periods of the tone, after its onset has settled.
    for (size_t i = size_t(kRate) * 5 / 2 * kCh; i < size_t(kRate * 5 / 2 + 20000) * kCh;
         i += kCh) {
        iMax = std::max(iMax, sink.v[i]);
        iMin = std::min(iMin, sink.v[i]);
        iSum += sink.v[i];
    }
    EXPECT_NEAR(iMax, 160000, 1600) << "the tone passes at full strength";
    EXPECT_NEAR(iMin, -160000, 1600);
    EXPECT_LT(std::abs(iSum / 20000), 16) << "and without an offset";
    EXPECT_EQ(gate.GetLevels().bChannels, kCh);
    EXPECT_EQ(gate.GetLevels().aLevels[0], 2) << "20 log10(160000 / 2^17)";
}

// Which input frames a take keeps: the gate's output, frame by frame, must
// be the DC-free input at those frames.
TEST(LRecordGate, KeptRangesOfTrimAndVoiceActivation)
{
    const int32_t k100ms = kBuf, kHalf = kBuf / 2;
    const struct {
        const char* szCase;
        std::vector<Piece> input;
        int32_t iHoldMs;
        int8_t cThreshold;
        std::vector<std::pair<int32_t, int32_t>> kept; // input ranges, in order
        int iStateChanges;
    } aCases[] = {
        { "quiet take writes nothing", { { 20 * k100ms, 150 } }, 216000000, -24, {}, 0 },
        { "short burst keeps its buffer and 50 ms",
            { { 10 * k100ms + 1000, 0 }, { 1323, 8000 }, { 15 * k100ms, 0 } }, 216000000, -24,
            { { 10 * k100ms - kHalf, 11 * k100ms + kHalf } }, 1 },
        { "sound in the second half has no pre-roll",
            { { 10 * k100ms + 3000, 0 }, { 5 * k100ms, 8000 }, { 10 * k100ms, 0 } }, 216000000, -24,
            { { 10 * k100ms, 16 * k100ms + kHalf } }, 1 },
        { "5.1 s pause drops to WAITING and keeps 450 ms of it",
            { { 10 * k100ms, 8000 }, { 51 * k100ms, 0 }, { 10 * k100ms, 8000 } }, 5000, -24,
            { { 0, 10 * k100ms + 19845 }, { 61 * k100ms - kHalf, 71 * k100ms } }, 3 },
        { "4.9 s pause stays whole",
            { { 10 * k100ms, 8000 }, { 49 * k100ms, 0 }, { 10 * k100ms, 8000 } }, 5000, -24,
            { { 0, 69 * k100ms } }, 1 },
        { "without AutoTrim nothing is cut", { { 7 * k100ms + 77, 0 } }, 216000000, -127,
            { { 0, 7 * k100ms + 77 } }, 1 },
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.szCase);
        std::vector<int16_t> in = Build(c.input, 200);
        // The reference: the same input through a gate that keeps all.
        const std::vector<int32_t> all = GateTake(in, kRate, kCh, kBuf, {});
        MemorySink sink(kRate, kCh);
        LRecordGate gate(sink, kBuf, { 0, c.cThreshold, c.iHoldMs, LRecordGate::kWaiting });
        int iChanges = 0;
        const int32_t iFrames = int32_t(in.size() / kCh);
        for (int32_t f = 0; f < iFrames; f += kBuf) {
            gate.Process(in.data() + size_t(f) * kCh, std::min(kBuf, iFrames - f));
            iChanges += gate.TakeStateChanged();
        }
        EndTake(gate, sink);
        EXPECT_EQ(iChanges, c.iStateChanges);
        std::vector<int32_t> expect;
        for (auto [a, b] : c.kept)
            expect.insert(expect.end(), all.begin() + a * kCh, all.begin() + b * kCh);
        ASSERT_EQ(sink.v.size() / kCh, expect.size() / kCh);
        EXPECT_TRUE(sink.v == expect);
    }
}

TEST(LRecordGate, MaximumTimeIsPassedAfterItsBuffer)
{
    MemorySink sink(kRate, kCh);
    LRecordGate gate(sink, kBuf, { 1000, -127, 216000000, LRecordGate::kRecording });
    std::vector<int16_t> in = Build({ { kBuf, 0 } }, 0);
    for (int i = 0; i < 10; ++i)
        gate.Process(in.data(), kBuf);
    EXPECT_FALSE(gate.IsTimeUp()) << "1000 ms is not past 1000 ms";
    gate.Process(in.data(), kBuf);
    EXPECT_TRUE(gate.IsTimeUp());
    gate.Flush(in.data(), 1000);
    EXPECT_EQ(sink.GetFramesWritten(), 11 * kBuf + 1000);
    EXPECT_EQ(gate.GetLastLoudMs(), (11 * kBuf + 1000) * 1000 / kRate)
        << "the flushed tail counts without AutoTrim";
}
