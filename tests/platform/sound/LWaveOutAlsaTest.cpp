#include "platform/sound/LSoundDevices.h"
#include "platform/sound/LWaveOut.h"
#include "platform/sound/SoundTestSupport.h"
#include "support/TestSupport.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>

namespace {
// Points ALSA at a configuration with a "orvenna_capture" PCM that writes
// what it is given, as raw frames, into a file; restores the system's
// configuration when it goes.
class AlsaFileDevice {
public:
    explicit AlsaFileDevice(const TestSupport::TempDir& dir)
        : strRaw(dir.File("played.raw"))
    {
        std::string strConf = dir.File("asound.conf");
        std::ofstream(strConf) << "</usr/share/alsa/alsa.conf>\n"
                                  "pcm.orvenna_capture {\n"
                                  "    type file\n"
                                  "    slave.pcm \"null\"\n"
                                  "    file \""
                               << strRaw
                               << "\"\n"
                                  "    format \"raw\"\n"
                                  "}\n";
        setenv("ALSA_CONFIG_PATH", strConf.c_str(), 1);
        LSoundDevices::Refresh();
    }
    ~AlsaFileDevice()
    {
        unsetenv("ALSA_CONFIG_PATH");
        LSoundDevices::Refresh();
    }
    std::string strRaw;
};
} // namespace

TEST(LWaveOutAlsa, PlaysThroughTheSoundSystemByName)
{
    TestSupport::TempDir dir;
    AlsaFileDevice alsa(dir);
    int32_t iDevice = LWaveOut::FindDevice("orvenna_capture");
    if (iDevice < 0)
        GTEST_SKIP() << "PortAudio does not list the ALSA file device of the test configuration";
    EXPECT_LT(iDevice, LWaveOut::GetDeviceCount() - 1)
        << "the sound system's devices come before null";

    constexpr uint32_t kRate = 44100;
    std::vector<int16_t> vSignal = TestSupport::MakeSignal(5 * 4410, 2, kRate);
    std::vector<TestBuffer> buffers;
    buffers.reserve(5);
    for (size_t b = 0; b < 5; ++b)
        buffers.emplace_back(std::vector<int16_t>(
            vSignal.begin() + long(b * 2 * 4410), vSignal.begin() + long((b + 1) * 2 * 4410)));
    {
        LSignalObject event;
        LWaveOut out;
        ASSERT_EQ(out.Open(iDevice, LWaveFormat::Pcm(2, kRate, 16).wfx, &event), MMSYSERR_NOERROR);
        for (TestBuffer& b : buffers) {
            ASSERT_EQ(out.PrepareHeader(&b.hdr), MMSYSERR_NOERROR);
            ASSERT_EQ(out.Write(&b.hdr), MMSYSERR_NOERROR);
        }
        ASSERT_TRUE(WaitDone(event, buffers[4].hdr));
        uint32_t uPos = 0;
        out.GetPosition(&uPos);
        EXPECT_EQ(uPos, 5 * 4410u);
        EXPECT_EQ(out.Close(), MMSYSERR_NOERROR);
    }
    std::vector<uint8_t> raw = TestSupport::ReadAll(alsa.strRaw);
    ASSERT_EQ(raw.size() % 4, 0u);
    std::vector<int16_t> vGot(raw.size() / 2);
    std::memcpy(vGot.data(), raw.data(), raw.size());
    const std::vector<int16_t>& vPlayed = vSignal;
    // The device may add silence before and after: line up the first sounding samples.
    auto FirstSound = [](const std::vector<int16_t>& v) {
        return size_t(
            std::find_if(v.begin(), v.end(), [](int16_t s) { return s != 0; }) - v.begin());
    };
    size_t iGot = FirstSound(vGot), iPlayed = FirstSound(vPlayed);
    ASSERT_LT(iGot, vGot.size()) << "nothing reached the file";
    ASSERT_GE(iGot, iPlayed);
    size_t iStart = iGot - iPlayed;
    EXPECT_EQ(iStart % 2, 0u) << "whole frames";
    ASSERT_GE(vGot.size() - iStart, vPlayed.size());
    EXPECT_TRUE(std::equal(vPlayed.begin(), vPlayed.end(), vGot.begin() + long(iStart)));
    EXPECT_TRUE(std::all_of(
        vGot.begin() + long(iStart + vPlayed.size()), vGot.end(), [](int16_t s) { return s == 0; }))
        << "only silence after the sound";
}
