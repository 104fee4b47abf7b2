#include "engine/LSoundPlayer.h"

#include "platform/sound/LNullSoundOut.h"
#include "platform/sound/LWaveOut.h"
#include "support/ScriptedUi.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using TestSupport::FnSource;

namespace {
// Frame f of channel c holds ((f * 7 + c * 1000) mod 20000 - 10000) * 16.
int16_t Value(int64_t f, int c)
{
    return int16_t((f * 7 + c * 1000) % 20000 - 10000);
}
SourceHandle Ramp(int32_t iRate, int iCh, int32_t iLen)
{
    return MakeHandle<FnSource>(
        iRate, iCh, iLen, [](int64_t f, int c) { return Value(f, c) * 16; });
}

struct Recorder : LSoundPlayerNotify {
    void spntfPlay(uintptr_t) override { events += "P"; }
    void spntfStop(uintptr_t) override { events += "S"; }
    void spntfCue(uintptr_t) override { events += "C"; }
    void spntfPause(uintptr_t) override { events += "Z"; }
    void spntfPosition(int32_t iMs, uintptr_t) override { positions.push_back(iMs); }
    void spntfLevels(const LSoundLevels& l, uintptr_t) override { last = l; }
    std::string events;
    std::vector<int32_t> positions;
    LSoundLevels last;
};

struct PlayerTest : ::testing::Test {
    PlayerTest()
    {
        iNull = LWaveOut::FindDevice("null");
        player.SetDevice(iNull);
        player.SetNotify(&rec, 0);
        LNullSoundOut::SetCaptureEnabled(true);
    }
    ~PlayerTest() override { LNullSoundOut::SetCaptureEnabled(false); }
    int32_t iNull;
    Recorder rec;
    LSoundPlayer player;
};
} // namespace

TEST_F(PlayerTest, PlaysEverySampleAndStopsAtTheEnd)
{
    ASSERT_GE(iNull, 0);
    ASSERT_TRUE(player.Start(Ramp(8000, 2, 2500), 0));
    EXPECT_EQ(player.GetBufferFrames(), 800);
    PumpEvents([&] { return player.GetState() == 0; });
    EXPECT_EQ(player.GetState(), 0);
    ASSERT_GE(rec.events.size(), 2u);
    EXPECT_EQ(rec.events.front(), 'P');
    EXPECT_EQ(rec.events.back(), 'S');
    ASSERT_FALSE(rec.positions.empty());
    EXPECT_EQ(rec.positions.front(), 0);
    EXPECT_GE(*std::max_element(rec.positions.begin(), rec.positions.end()), 300)
        << "buffers were reported";
    std::vector<int16_t> played = LNullSoundOut::TakeCapture();
    ASSERT_EQ(played.size(), 2u * 2500);
    for (size_t i = 0; i < played.size(); ++i)
        ASSERT_EQ(played[i], Value(int64_t(i / 2), int(i % 2))) << i;
}

TEST_F(PlayerTest, BufferLengthFollowsTheRate)
{
    for (auto [iRate, iFrames] : { std::pair { 44100, 4410 }, { 100, 20 }, { 96000, 8192 } }) {
        ASSERT_TRUE(player.Start(Ramp(iRate, 1, iRate * 10), 1)) << iRate;
        EXPECT_EQ(player.GetBufferFrames(), iFrames);
        EXPECT_EQ(player.GetState() & LSoundPlayer::kPaused, LSoundPlayer::kPaused);
        player.Stop();
    }
    EXPECT_FALSE(player.Start(SourceHandle(), 0));
}

TEST_F(PlayerTest, ScrubLoopsASnippetThenPlaysOn)
{
    ASSERT_TRUE(player.Start(Ramp(8000, 1, 80000), 1)); // paused
    player.Seek(4000);
    player.Cue();
    EXPECT_TRUE(player.GetState() & LSoundPlayer::kCued);
    LNullSoundOut::TakeCapture();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    std::vector<int16_t> loop = LNullSoundOut::TakeCapture();
    // 200-frame snippets (a quarter of an 800-frame buffer) from frame 4000,
    // over and over.
    ASSERT_GE(loop.size(), 1800u);
    size_t iAt = size_t(std::find(loop.begin(), loop.end(), Value(4000, 0)) - loop.begin());
    ASSERT_LT(iAt, 200u);
    for (size_t i = 0; i < 1600; ++i)
        ASSERT_EQ(loop[iAt + i], Value(4000 + int64_t(i % 200), 0)) << i;
    // A seek while cued moves the loop.
    player.Seek(20000);
    EXPECT_TRUE(player.GetState() & LSoundPlayer::kCued);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    LNullSoundOut::TakeCapture();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::vector<int16_t> moved = LNullSoundOut::TakeCapture();
    ASSERT_GE(moved.size(), 400u);
    bool bFound = false;
    for (size_t i = 0; i + 1 < moved.size() && !bFound; ++i)
        bFound = moved[i] == Value(20000, 0) && moved[i + 1] == Value(20001, 0);
    EXPECT_TRUE(bFound) << "the snippet at frame 20000 plays";
    // Play leaves the loop and goes on behind the snippet.
    player.Play();
    EXPECT_FALSE(player.GetState() & LSoundPlayer::kCued);
    PumpEvents([] { return false; }, 1000);
    EXPECT_GT(player.GetPosition(), 20200);
    player.Stop(); // a Stop that hangs in the loop is caught by the test's time-out
    EXPECT_EQ(rec.events.substr(0, 2), "ZC");
    EXPECT_EQ(rec.events.back(), 'S');
}

TEST_F(PlayerTest, HeldStartPlaysAShortSourceAndLevelsAreMeasured)
{
    ASSERT_TRUE(player.Start(Ramp(8000, 1, 4000), 2)); // held, only 5 buffers
    PumpEvents([&] { return player.GetState() == 0; });
    EXPECT_EQ(player.GetState(), 0) << "a short source does not wait for 42 buffers";
    EXPECT_EQ(LNullSoundOut::TakeCapture().size(), 4000u);
    // The ramp stays within +-10000 of 16-bit: (x >> 5) within +-5000, so a
    // buffer's mean square is at most 5000^2 = 3 x 2^23 (4.7 dB).
    EXPECT_LE(rec.last.aLevels[0], 5);
    EXPECT_GE(rec.last.aLevels[0], -12);

    LSoundLevels silent;
    std::vector<int32_t> zeros(100, 0);
    silent.Measure(zeros.data(), 50, 2);
    EXPECT_EQ(silent.bChannels, 2);
    EXPECT_EQ(silent.aLevels[0], -127);
    // Full scale is 15 dB on this scale, half scale 9 dB (0x40000 >> 5 =
    // 8192, squared 8 x 2^23).
    std::vector<int32_t> full(100, 0x7FFF0);
    silent.Measure(full.data(), 100, 1);
    EXPECT_EQ(silent.aLevels[0], 15);
    std::vector<int32_t> half(100, -0x40000);
    silent.Measure(half.data(), 50, 2);
    EXPECT_EQ(silent.aLevels[0], 9);
    EXPECT_EQ(silent.aLevels[1], 9);
}
