#include "engine/LSoundRecorder.h"

#include "audio/LWaveFile.h"
#include "edit/LAudioCutTank.h"
#include "engine/LOVRecordInfo.h"
#include "platform/sound/LNullSoundIn.h"
#include "platform/sound/LSoundDevices.h"
#include "support/RecordGateTake.h"
#include "support/ScriptedUi.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <numbers>
#include <set>

namespace {
constexpr int32_t kRate = 8000, kBuf = 800;

struct Events : LSoundRecorderNotify {
    void srntfRecording(uintptr_t) override { str += "R"; }
    void srntfWaiting(uintptr_t) override { str += "W"; }
    void srntfStop(uintptr_t) override { str += "S"; }
    void srntfLevels(const LSoundLevels& l, uintptr_t) override
    {
        iMaxLevel = std::max<int>(iMaxLevel, l.aLevels[0]);
    }
    std::string str;
    int iMaxLevel = -127;
};

// 0.5 s of silence, 0.6 s of a 400 Hz tone, 0.4 s of silence, mono.
std::vector<int16_t> Input()
{
    std::vector<int16_t> v(size_t(kRate) * 3 / 2, 0);
    for (int32_t f = kRate / 2; f < kRate * 11 / 10; ++f)
        v[size_t(f)]
            = int16_t(std::lround(9000 * std::sin(2 * std::numbers::pi * 400 * f / kRate)));
    return v;
}

// What a take of the input must hold: the input (then silence) through the
// same gate, in the device's buffers, ended 50 ms after the last loud one.
std::vector<int32_t> Expected(const std::vector<int16_t>& in, int8_t cThreshold)
{
    std::vector<int16_t> padded = in;
    padded.resize(in.size() + 4 * kBuf, 0);
    return GateTake(padded, kRate, 1, kBuf, { 0, cThreshold, 216000000, LRecordGate::kWaiting });
}

struct RecorderTest : ::testing::Test {
    RecorderTest()
    {
        std::string strWav = dir.File("in.wav");
        SinkHandle h = LWaveFile::OpenSinkPCM(strWav, kRate, 1, 16, 0);
        std::vector<int32_t> v(input.begin(), input.end());
        for (int32_t& s : v)
            s *= 16;
        h->Write(v.data(), int32_t(v.size()));
        h.Reset();
        setenv("ORVENNA_NULL_DEVICE_INPUT", strWav.c_str(), 1);
        recorder.SetDevice(LWaveIn::FindDevice(LSoundDevices::kNullName));
        recorder.SetNotify(&events, 0);
    }
    ~RecorderTest() override { unsetenv("ORVENNA_NULL_DEVICE_INPUT"); }
    TestSupport::TempDir dir;
    std::vector<int16_t> input = Input();
    Events events;
    LSoundRecorder recorder;
    LOVRecordInfo target { kRate, 1 };
};
} // namespace

// Through the null input: the take is the file's samples through the gate,
// trimmed where the threshold says, written into its cut file as it comes;
// Restart discards what came before it.
TEST_F(RecorderTest, TakeFromTheNullInputIsTheFileTrimmed)
{
    ASSERT_TRUE(recorder.Start(target.OpenSink(0), 0, -24, 216000000, 0));
    EXPECT_EQ(events.str, "W");
    PumpEvents([&] { return recorder.GetState() == LRecordGate::kRecording; });
    PumpEvents([&] { return recorder.GetFramesOffered() >= uint32_t(kRate) * 8 / 10; });
    // The audio so far is in the working folder already.
    int64_t iBytes = 0;
    for (const auto& e : std::filesystem::directory_iterator(LAudioCutTank::Get().GetFolder()))
        if (e.path().extension() == ".aud")
            iBytes = std::max<int64_t>(iBytes, int64_t(e.file_size()));
    EXPECT_GE(iBytes, int64_t(kBuf) * 4);
    recorder.Restart();
    EXPECT_EQ(events.str, "WRW");
    PumpEvents([&] { return recorder.GetFramesOffered() >= uint32_t(input.size()) + kBuf; }, 8000);
    recorder.Stop();
    EXPECT_EQ(events.str, "WRWRS");
    EXPECT_EQ(recorder.GetDropouts(), 0u);
    EXPECT_GE(events.iMaxLevel, -2);
    std::vector<int32_t> expect = Expected(input, -24);
    std::vector<int32_t> got = Samples(target.GetRecording());
    ASSERT_EQ(got.size(), expect.size());
    EXPECT_TRUE(got == expect);
    EXPECT_EQ(expect.size(), size_t(kRate) * 6 / 10 + kBuf / 2 + 400)
        << "the tone, half a buffer of pre-roll, 50 ms after it";
}

// The real capture path: PortAudio over an ALSA file PCM that reads the input
// from a raw file. That device delivers faster than real time, so what
// follows the input may be lost; the trim ends the take before it.
TEST_F(RecorderTest, TakeThroughTheSoundSystemIsTheFileTrimmed)
{
    const std::string strRaw = dir.File("in.raw"), strConf = dir.File("asound.conf");
    std::ofstream(strRaw, std::ios::binary)
        .write(reinterpret_cast<const char*>(input.data()), std::streamsize(input.size() * 2));
    std::ofstream(strConf) << "</usr/share/alsa/alsa.conf>\npcm.orvenna_in {\n    type file\n"
                              "    slave.pcm \"null\"\n    file \"/dev/null\"\n    infile \""
                           << strRaw << "\"\n    format \"raw\"\n}\n";
    setenv("ALSA_CONFIG_PATH", strConf.c_str(), 1);
    LSoundDevices::Refresh();
    const int32_t iDevice = LWaveIn::FindDevice("orvenna_in");
    if (iDevice >= 0) {
        recorder.SetDevice(iDevice);
        EXPECT_TRUE(recorder.Start(target.OpenSink(0), 0, -24, 216000000, 0));
        // The device runs ahead of the recorder: wait for the last loud buffer.
        const int32_t iLastLoudMs = int32_t(Expected(input, -24).size()) / (kRate / 1000) - 50;
        PumpEvents([&] { return recorder.GetTimeMs() >= iLastLoudMs; }, 3000);
        recorder.Stop();
    }
    unsetenv("ALSA_CONFIG_PATH");
    LSoundDevices::Refresh();
    if (iDevice < 0)
        GTEST_SKIP() << "PortAudio does not list the ALSA file device of the test configuration";
    EXPECT_EQ(events.str, "WRS");
    std::vector<int32_t> got = Samples(target.GetRecording());
    std::vector<int32_t> expect = Expected(input, -24);
    ASSERT_EQ(got.size(), expect.size());
    EXPECT_TRUE(got == expect);
}

TEST_F(RecorderTest, MaximumTimeStopsTheTakeAndKeepsIt)
{
    ASSERT_TRUE(recorder.Start(target.OpenSink(0), 300, -127, 216000000, 0));
    PumpEvents([&] { return recorder.GetState() == 0; });
    EXPECT_EQ(events.str, "WRS");
    std::vector<int32_t> got = Samples(target.GetRecording());
    ASSERT_GE(got.size(), size_t(4 * kBuf)) << "stops after the buffer that passes 300 ms";
    ASSERT_LT(got.size(), input.size()) << "and not at the end of the input";
    std::vector<int32_t> expect = Expected(input, -127);
    EXPECT_TRUE(std::equal(got.begin(), got.begin() + 4 * kBuf, expect.begin()));
}

TEST_F(RecorderTest, DeviceThatDoesNotOpenIsRefusedAndKeepsNothing)
{
    recorder.SetDevice(LWaveIn::GetDeviceCount() + 5);
    EXPECT_FALSE(recorder.Start(target.OpenSink(0), 0, -24, 216000000, 0));
    EXPECT_EQ(recorder.GetState(), 0);
    PumpEvents([] { return false; }, 300);
    EXPECT_EQ(events.str, "") << "a refused start sends no notices";
    EXPECT_EQ(target.GetRecording().GetTotalLength(), 0);
}

// A device still opening when Start stops waiting, that then fails to open
// or stalls after a little audio: the owner hears a stop, not a take that
// never ends, and what came is kept.
TEST_F(RecorderTest, LateDeviceThatFailsEndsAsAStop)
{
    struct Case {
        const char* szWhat;
        LNullSoundIn::Faults faults;
        bool bLost;
        int32_t iFrames;
    } cases[] = {
        { "opens late and fails", { 1800, false, -1 }, false, 0 },
        { "opens late and stalls", { 1800, true, 3 * kBuf }, true, 3 * kBuf },
    };
    for (const Case& c : cases) {
        LNullSoundIn::SetFaults(c.faults);
        LOVRecordInfo take(kRate, 1);
        events.str.clear();
        EXPECT_TRUE(
            recorder.Start(take.OpenSink(0), 0, -127, 216000000, LSoundRecorder::kStartRecording))
            << c.szWhat << ": still opening";
        PumpEvents([&] { return !events.str.empty() && events.str.back() == 'S'; }, 10000);
        LNullSoundIn::SetFaults({});
        EXPECT_EQ(events.str, "RS") << c.szWhat;
        EXPECT_EQ(recorder.GetState(), 0) << c.szWhat;
        EXPECT_EQ(recorder.IsDeviceLost(), c.bLost) << c.szWhat;
        EXPECT_EQ(take.GetRecording().GetTotalLength(), c.iFrames) << c.szWhat;
    }
}

// Takes are kept up to where the next one starts: Re-Take after two takes
// replaces only the second, Restart both.
TEST(LOVRecordInfo, TakesRetakeAndRestart)
{
    LOVRecordInfo target(1000, 1);
    auto take = [&](int32_t iFromMs, int32_t iFrames, int32_t iValue) {
        SinkHandle h = target.OpenSink(iFromMs);
        std::vector<int32_t> v(size_t(iFrames), iValue);
        h->Write(v.data(), iFrames);
    };
    auto shape = [&] {
        std::vector<int32_t> v = Samples(target.GetRecording());
        std::string s;
        for (size_t i = 0; i < v.size(); i += 100)
            s += char('0' + v[i]);
        return s;
    };
    take(0, 300, 1);
    take(300, 200, 2);
    EXPECT_EQ(shape(), "11122");
    take(300, 400, 3); // Re-Take from the start of the last take
    EXPECT_EQ(shape(), "1113333");
    take(0, 100, 4); // Restart
    EXPECT_EQ(shape(), "4");
    take(50, 0, 5); // a take that brought nothing keeps the part before it
    EXPECT_EQ(target.GetRecording().GetTotalLength(), 50);
    // A take cut back (voice activation, the trim) leaves its file that long.
    SinkHandle h = target.OpenSink(0);
    std::vector<int32_t> v(300, 1);
    h->Write(v.data(), 300);
    h->Seek(120);
    std::set<uintmax_t> sizes;
    for (const auto& e : std::filesystem::directory_iterator(LAudioCutTank::Get().GetFolder()))
        if (e.path().extension() == ".aud")
            sizes.insert(e.file_size());
    EXPECT_EQ(sizes.count(120 * 4), 1u);
    EXPECT_EQ(sizes.count(300 * 4), 0u);
}
