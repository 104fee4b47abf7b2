#include "platform/sound/LWaveIn.h"

#include "platform/sound/SoundTestSupport.h"
#include "support/TestSupport.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

namespace {
// A 16-bit WAV of the samples as ffmpeg writes it (with a LIST chunk the
// reader must step over).
void WriteWav(const std::string& strPath, const std::vector<int16_t>& v, int nCh, uint32_t uRate)
{
    std::vector<uint8_t> raw(v.size() * 2);
    std::memcpy(raw.data(), v.data(), raw.size());
    ASSERT_TRUE(TestSupport::WriteAll(strPath + ".raw", raw));
    ASSERT_EQ(
        TestSupport::Run({ "sox", "-t", "raw", "-r", std::to_string(uRate), "-e", "signed", "-b",
            "16", "-c", std::to_string(nCh), strPath + ".raw", "--comment", "x", strPath }),
        0);
}

class NullIn : public testing::Test {
protected:
    void TearDown() override
    {
        in.Reset();
        in.Close();
        unsetenv("ORVENNA_NULL_DEVICE_INPUT");
    }
    void Open(uint16_t nChannels, uint32_t uRate)
    {
        int32_t iNull = LWaveIn::FindDevice("null");
        ASSERT_EQ(iNull, LWaveIn::GetDeviceCount() - 1);
        ASSERT_EQ(
            in.Open(iNull, LWaveFormat::Pcm(nChannels, uRate, 16).wfx, &event), MMSYSERR_NOERROR);
    }
    void Add(TestBuffer& b)
    {
        ASSERT_EQ(in.PrepareHeader(&b.hdr), MMSYSERR_NOERROR);
        ASSERT_EQ(in.AddBuffer(&b.hdr), MMSYSERR_NOERROR);
    }

    TestSupport::TempDir dir;
    LSignalObject event;
    LWaveIn in;
};
} // namespace

TEST_F(NullIn, DeliversTheFileSamplesExactlyThenSilenceInRealTime)
{
    REQUIRE_PEER("ffmpeg");
    for (uint16_t nFileCh : { 2, 1 }) { // a mono file fills every channel
        SCOPED_TRACE(nFileCh);
        std::vector<int16_t> vFile = TestSupport::MakeSignal(2000, nFileCh, 8000); // 250 ms
        WriteWav(dir.File("in.wav"), vFile, nFileCh, 8000);
        setenv("ORVENNA_NULL_DEVICE_INPUT", dir.File("in.wav").c_str(), 1);
        Open(2, 8000);
        std::vector<TestBuffer> buffers;
        buffers.reserve(3);
        for (int i = 0; i < 3; ++i)
            buffers.emplace_back(std::vector<int16_t>(2 * 1000, int16_t(0x5555)));
        for (TestBuffer& b : buffers)
            Add(b);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        EXPECT_FALSE(WaveHeaderDone(buffers[0].hdr)) << "nothing is captured before Start";
        auto tStart = std::chrono::steady_clock::now();
        ASSERT_EQ(in.Start(), MMSYSERR_NOERROR);
        ASSERT_TRUE(WaitDone(event, buffers[2].hdr));
        EXPECT_GE(MsSince(tStart), 375 - 30) << "3000 frames at 8000 Hz";
        std::vector<int16_t> vGot, vWant;
        for (TestBuffer& b : buffers) {
            EXPECT_EQ(b.hdr.dwBytesRecorded, 4000u);
            vGot.insert(vGot.end(), b.vSamples.begin(), b.vSamples.end());
        }
        for (size_t f = 0; f < 2000; ++f)
            for (size_t c = 0; c < 2; ++c)
                vWant.push_back(vFile[f * nFileCh + (nFileCh == 2 ? c : 0)]);
        EXPECT_TRUE(std::equal(vWant.begin(), vWant.end(), vGot.begin()))
            << "the file's frames, in order";
        EXPECT_TRUE(std::all_of(
            vGot.begin() + long(vWant.size()), vGot.end(), [](int16_t s) { return s == 0; }));
        in.Reset();
        in.Close();
    }
}

TEST_F(NullIn, StopReturnsThePartBufferAndResetReturnsTheRest)
{
    Open(1, 8000);
    TestBuffer a(std::vector<int16_t>(8000, 1)), b(std::vector<int16_t>(800, 1)); // 1 s, 100 ms
    Add(a);
    Add(b);
    in.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_EQ(in.Stop(), MMSYSERR_NOERROR);
    ASSERT_TRUE(WaveHeaderDone(a.hdr));
    EXPECT_GT(a.hdr.dwBytesRecorded, 0u);
    EXPECT_LT(a.hdr.dwBytesRecorded, 16000u);
    EXPECT_EQ(a.hdr.dwBytesRecorded % 2, 0u);
    EXPECT_TRUE(std::all_of(a.vSamples.begin(), a.vSamples.begin() + a.hdr.dwBytesRecorded / 2,
        [](int16_t s) { return s == 0; }))
        << "silence without an input file";
    EXPECT_FALSE(WaveHeaderDone(b.hdr)) << "an empty buffer stays queued";
    EXPECT_EQ(in.Close(), WAVERR_STILLPLAYING);
    in.Reset();
    EXPECT_TRUE(WaveHeaderDone(b.hdr));
    EXPECT_EQ(b.hdr.dwBytesRecorded, 0u);
    EXPECT_EQ(in.UnprepareHeader(&b.hdr), MMSYSERR_NOERROR);
    EXPECT_EQ(in.Close(), MMSYSERR_NOERROR);
}
