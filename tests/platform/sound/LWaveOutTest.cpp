#include "platform/sound/LWaveOut.h"

#include "platform/sound/LNullSoundOut.h"
#include "platform/sound/SoundTestSupport.h"
#include "support/TestSupport.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

namespace {
constexpr uint32_t kRate = 8000;

// An open null device whose played frames are kept in memory.
class NullOut : public testing::Test {
protected:
    void SetUp() override
    {
        LNullSoundOut::SetCaptureEnabled(true);
        iNull = LWaveOut::FindDevice("null");
        ASSERT_EQ(iNull, LWaveOut::GetDeviceCount() - 1) << "null is listed last";
        ASSERT_EQ(out.Open(iNull, LWaveFormat::Pcm(1, kRate, 16).wfx, &event), MMSYSERR_NOERROR);
    }
    void TearDown() override
    {
        out.Reset();
        out.Close();
        LNullSoundOut::SetCaptureEnabled(false);
    }
    void Queue(TestBuffer& b, uint32_t uFlags = 0, uint32_t uLoops = 0)
    {
        ASSERT_EQ(out.PrepareHeader(&b.hdr), MMSYSERR_NOERROR);
        b.hdr.dwFlags |= uFlags;
        b.hdr.dwLoops = uLoops;
        ASSERT_EQ(out.Write(&b.hdr), MMSYSERR_NOERROR);
    }
    uint32_t Position()
    {
        uint32_t u = 0;
        EXPECT_EQ(out.GetPosition(&u), MMSYSERR_NOERROR);
        return u;
    }

    int32_t iNull = -2;
    LSignalObject event;
    LWaveOut out;
};
} // namespace

TEST_F(NullOut, PlaysBuffersInOrderAtRealTimePace)
{
    std::vector<TestBuffer> buffers;
    buffers.reserve(5);
    for (int i = 0; i < 5; ++i)
        buffers.emplace_back(Ramp(800, int16_t(1000 * i))); // 100 ms each
    auto tStart = std::chrono::steady_clock::now();
    for (TestBuffer& b : buffers)
        Queue(b);
    EXPECT_EQ(out.Write(&buffers[0].hdr), WAVERR_STILLPLAYING);
    EXPECT_EQ(out.UnprepareHeader(&buffers[4].hdr), WAVERR_STILLPLAYING);
    // Every time the event fires, the buffers done must be a prefix of the queue.
    while (!WaveHeaderDone(buffers[4].hdr) && MsSince(tStart) < 5000) {
        event.Wait(50);
        event.Reset();
        bool bGap = false;
        for (TestBuffer& b : buffers) {
            bool bDone = WaveHeaderDone(b.hdr);
            EXPECT_FALSE(bDone && bGap) << "a buffer finished before the one ahead of it";
            bGap |= !bDone;
            EXPECT_EQ(bDone, !(WaveHeaderFlags(b.hdr) & WHDR_INQUEUE));
        }
    }
    double dMs = MsSince(tStart);
    ASSERT_TRUE(WaveHeaderDone(buffers[4].hdr));
    EXPECT_GE(dMs, 500 - 30) << "4000 frames at 8000 Hz cannot finish sooner";
    EXPECT_EQ(Position(), 4000u);
    std::vector<int16_t> vExpected;
    for (TestBuffer& b : buffers)
        vExpected.insert(vExpected.end(), b.vSamples.begin(), b.vSamples.end());
    EXPECT_EQ(LNullSoundOut::TakeCapture(), vExpected);
    EXPECT_EQ(out.UnprepareHeader(&buffers[4].hdr), MMSYSERR_NOERROR);
    EXPECT_EQ(out.Write(&buffers[4].hdr), WAVERR_UNPREPARED);
}

TEST_F(NullOut, LoopsRepeatTheirCountThenPlayOn)
{
    TestBuffer a(Ramp(80, 1)), b(Ramp(80, 2001)), c(Ramp(40, 3001)), d(Ramp(40, 4001)),
        e(Ramp(40, 5001));
    Queue(a, WHDR_BEGINLOOP | WHDR_ENDLOOP, 3); // one buffer, three passes
    Queue(b);
    Queue(c, WHDR_BEGINLOOP, 2); // a loop over two buffers
    Queue(d, WHDR_ENDLOOP);
    Queue(e);
    ASSERT_TRUE(WaitDone(event, e.hdr));
    std::vector<int16_t> vWant;
    for (const TestBuffer* p : { &a, &a, &a, &b, &c, &d, &c, &d, &e })
        vWant.insert(vWant.end(), p->vSamples.begin(), p->vSamples.end());
    EXPECT_EQ(LNullSoundOut::TakeCapture(), vWant);
    EXPECT_EQ(Position(), 80u * 4 + 40 * 5);
}

TEST_F(NullOut, EndlessLoopHoldsLaterBuffersUntilResetAndResetLiftsAPause)
{
    TestBuffer loop(Ramp(200, 7)), after(Ramp(800, 3000)); // 25 ms snippet, 100 ms behind it
    Queue(loop, WHDR_BEGINLOOP | WHDR_ENDLOOP, 0x7FFFFFFF);
    Queue(after);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(WaveHeaderDone(loop.hdr));
    EXPECT_FALSE(WaveHeaderDone(after.hdr)) << "a buffer behind a loop waits for its end";
    EXPECT_GT(Position(), 2 * 200u) << "the snippet repeats";
    event.Reset();
    EXPECT_EQ(out.Close(), WAVERR_STILLPLAYING);
    out.Pause(); // a reset also lifts a pause
    ASSERT_EQ(out.Reset(), MMSYSERR_NOERROR);
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(WaveHeaderDone(loop.hdr));
    EXPECT_TRUE(WaveHeaderDone(after.hdr));
    EXPECT_EQ(WaveHeaderFlags(after.hdr) & WHDR_INQUEUE, 0u);
    EXPECT_EQ(out.UnprepareHeader(&after.hdr), MMSYSERR_NOERROR);
    EXPECT_EQ(Position(), 0u);
    std::vector<int16_t> vPlayed = LNullSoundOut::TakeCapture();
    ASSERT_GE(vPlayed.size(), 400u);
    for (size_t i = 0; i < vPlayed.size(); ++i)
        ASSERT_EQ(vPlayed[i], loop.vSamples[i % 200]) << "only the snippet played, at " << i;
    // The device plays on after a reset, not paused.
    TestBuffer next(Ramp(80, 9));
    event.Reset();
    Queue(next);
    ASSERT_TRUE(WaitDone(event, next.hdr));
    EXPECT_EQ(LNullSoundOut::TakeCapture(), next.vSamples);
}

TEST_F(NullOut, BreakLoopFinishesThePassAndGoesOnWithoutAGap)
{
    TestBuffer loop(Ramp(200, 7)), after(Ramp(400, 3000));
    Queue(loop, WHDR_BEGINLOOP | WHDR_ENDLOOP, 0x7FFFFFFF);
    Queue(after);
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    ASSERT_EQ(out.BreakLoop(), MMSYSERR_NOERROR);
    ASSERT_TRUE(WaitDone(event, after.hdr));
    EXPECT_TRUE(WaveHeaderDone(loop.hdr));
    std::vector<int16_t> vPlayed = LNullSoundOut::TakeCapture();
    ASSERT_GT(vPlayed.size(), 400u);
    size_t nLoop = vPlayed.size() - 400;
    EXPECT_EQ(nLoop % 200, 0u) << "whole passes of the loop";
    EXPECT_GE(nLoop / 200, 2u);
    for (size_t i = 0; i < nLoop; ++i)
        ASSERT_EQ(vPlayed[i], loop.vSamples[i % 200]);
    EXPECT_TRUE(
        std::equal(after.vSamples.begin(), after.vSamples.end(), vPlayed.begin() + long(nLoop)));
}

TEST_F(NullOut, PauseHoldsThePositionAndRestartLosesNothing)
{
    TestBuffer b(Ramp(4000, 100)); // 500 ms
    ASSERT_EQ(out.Pause(), MMSYSERR_NOERROR);
    Queue(b);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(Position(), 0u) << "paused before the first buffer";
    out.Restart();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    out.Pause();
    std::this_thread::sleep_for(std::chrono::milliseconds(30)); // the chunk in the device finishes
    uint32_t uPaused = Position();
    EXPECT_GT(uPaused, 0u);
    EXPECT_LT(uPaused, 4000u);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(Position(), uPaused);
    EXPECT_FALSE(WaveHeaderDone(b.hdr));
    out.Restart();
    ASSERT_TRUE(WaitDone(event, b.hdr));
    EXPECT_EQ(Position(), 4000u);
    EXPECT_EQ(LNullSoundOut::TakeCapture(), b.vSamples);
}

TEST(LWaveOut, RefusesOtherFormatsAndUnknownDevices)
{
    LWaveOut out;
    LWaveFormat fmt8 = LWaveFormat::Pcm(1, 8000, 8);
    EXPECT_EQ(out.Open(WAVE_MAPPER, fmt8.wfx, nullptr), WAVERR_BADFORMAT);
    EXPECT_EQ(out.Open(LWaveOut::GetDeviceCount(), LWaveFormat::Pcm(1, 8000, 16).wfx, nullptr),
        MMSYSERR_BADDEVICEID);
    EXPECT_FALSE(out.IsOpen());
    EXPECT_EQ(LWaveOut::GetDeviceName(LWaveOut::GetDeviceCount()), "");
    EXPECT_EQ(LWaveOut::GetDeviceName(-1), LWaveOut::GetDeviceName(0));
    WAVEHDR hdr;
    EXPECT_EQ(out.Write(&hdr), MMSYSERR_INVALHANDLE);
}

TEST(LWaveOut, NullDeviceWritesWhatItPlaysToTheCaptureFile)
{
    TestSupport::TempDir dir;
    std::string strPath = dir.File("played.wav");
    setenv("ORVENNA_NULL_DEVICE_CAPTURE", strPath.c_str(), 1);
    std::vector<int16_t> vSignal = TestSupport::MakeSignal(1600, 2, 16000);
    {
        LSignalObject event;
        LWaveOut out;
        ASSERT_EQ(
            out.Open(LWaveOut::FindDevice("null"), LWaveFormat::Pcm(2, 16000, 16).wfx, &event),
            MMSYSERR_NOERROR);
        TestBuffer b(vSignal);
        out.PrepareHeader(&b.hdr);
        out.Write(&b.hdr);
        ASSERT_TRUE(WaitDone(event, b.hdr));
        EXPECT_EQ(out.Close(), MMSYSERR_NOERROR);
    }
    unsetenv("ORVENNA_NULL_DEVICE_CAPTURE");
    REQUIRE_PEER("sox");
    std::string strOut;
    ASSERT_EQ(TestSupport::Run({ "sox", "--i", "-r", strPath }, &strOut), 0) << strOut;
    EXPECT_EQ(std::stoi(strOut), 16000);
    std::string strRaw = dir.File("played.raw");
    ASSERT_EQ(TestSupport::Run({ "sox", strPath, "-t", "raw", strRaw }), 0);
    std::vector<uint8_t> raw = TestSupport::ReadAll(strRaw);
    ASSERT_EQ(raw.size(), vSignal.size() * 2);
    EXPECT_EQ(std::memcmp(raw.data(), vSignal.data(), raw.size()), 0);
}
