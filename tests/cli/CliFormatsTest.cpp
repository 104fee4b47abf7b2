#include "SoxPeer.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

using namespace TestSupport;

namespace {
// 16-bit samples as ffmpeg decodes them; a mono file is compared with the
// left channel, which is what the channel converter keeps.
std::vector<int16_t> Ffmpeg(const std::string& strPath, bool bLeftOnly = false)
{
    std::string s;
    TestSupport::Run({ "ffmpeg", "-v", "error", "-i", strPath, "-f", "s16le", "-" }, &s);
    std::vector<int16_t> v(s.size() / 2);
    std::memcpy(v.data(), s.data(), v.size() * 2);
    for (size_t i = 0; bLeftOnly && i < v.size() / 2; ++i)
        v[i] = v[2 * i];
    v.resize(bLeftOnly ? v.size() / 2 : v.size());
    return v;
}

double SnrDb(const std::vector<int16_t>& want, const std::vector<int16_t>& got)
{
    double dSignal = 0, dError = 1e-9;
    for (size_t i = 0; i < std::min(want.size(), got.size()); ++i) {
        dSignal += double(want[i]) * want[i];
        dError += (double(got[i]) - want[i]) * (double(got[i]) - want[i]);
    }
    return 10 * std::log10(dSignal / dError);
}

// Stereo (every codec lists 11025 Hz), different tones left and right.
std::string MakeInput(const TempDir& dir, const char* szRate = "11025")
{
    return Sox::Synth(
        dir, "in.wav", szRate, "2", { "2", "sine", "300", "sine", "700", "vol", "0.4" });
}
} // namespace

// Every codec `formats` lists, written by convert --wav-format and decoded by
// ffmpeg: the codec asked for, with the samples meant within its error bound.
TEST(CliFormats, WavFormatForEveryListedCodecReadsBackInFfmpeg)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("ffmpeg");
    // Name, what ffprobe reports (codec, rate, channels from stereo), least SNR.
    const std::vector<std::tuple<std::string, std::string, double>> kBounds = {
        { "pcm8", "pcm_u8 11025 2", 38 },
        { "pcm16", "pcm_s16le 11025 2", 200 },
        { "pcm24", "pcm_s24le 11025 2", 200 },
        { "pcm32", "pcm_s32le 11025 2", 200 },
        { "float32", "pcm_f32le 11025 2", 200 },
        { "alaw", "pcm_alaw 11025 2", 34 },
        { "ulaw", "pcm_mulaw 11025 2", 34 },
        { "ima-adpcm", "adpcm_ima_wav 11025 2", 25 },
        { "ms-adpcm", "adpcm_ms 11025 2", 33 },
        { "gsm610", "gsm_ms 11025 1", 17 },
    };
    TempDir dir;
    const std::string strIn = MakeInput(dir);
    std::string strList;
    ASSERT_EQ(Cli(dir, { "formats" }, &strList), 0);
    std::istringstream list(strList.substr(strList.find("wav codecs")));
    std::vector<std::string> names;
    for (std::string strLine; std::getline(list, strLine) && strLine.rfind("headerless", 0) != 0;)
        if (strLine.rfind("  ", 0) == 0)
            names.push_back(strLine.substr(2, strLine.find(' ', 2) - 2));
    EXPECT_EQ(names.size(), kBounds.size()) << strList;
    for (const auto& [strName, strProbe, dMinSnr] : kBounds) {
        EXPECT_NE(std::find(names.begin(), names.end(), strName), names.end()) << strName;
        const std::string strOut = dir.File(strName + ".wav");
        std::string strSeen;
        ASSERT_EQ(Cli(dir, { "convert", strIn, strOut, "--wav-format", strName }, &strSeen), 0)
            << strName << strSeen;
        TestSupport::Run(
            { "ffprobe", "-v", "error", "-show_entries", "stream=codec_name,channels,sample_rate",
                "-of", "default=nw=1:nk=1", strOut },
            &strSeen);
        std::replace(strSeen.begin(), strSeen.end(), '\n', ' ');
        EXPECT_EQ(strSeen, strProbe + " ") << strName;
        const bool bMono = strProbe.back() == '1';
        const std::vector<int16_t> want = Ffmpeg(strIn, bMono), got = Ffmpeg(strOut);
        EXPECT_LE(got.size(), want.size() + 1024) << strName << ": at most one block longer";
        EXPECT_GE(got.size(), want.size()) << strName;
        EXPECT_GT(SnrDb(want, got), dMinSnr) << strName;
    }
}

// Headerless output and input with the --raw options reach the writer and
// the reader; nothing is stored for the editor. What each writes (the left
// channel, the levels) is the engine's load and save tests'.
TEST(CliFormats, RawAndVoxOptionsRoundTrip)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::string strIn = MakeInput(dir), strRaw = dir.File("a.raw");
    // 16 bit PCM (BE), two channels: two seconds of four bytes a frame.
    ASSERT_EQ(
        Cli(dir, { "convert", strIn, strRaw, "--raw-format", "6", "--raw-channels", "2" }), 0);
    EXPECT_EQ(std::filesystem::file_size(strRaw), 22050u * 4);
    ASSERT_EQ(Cli(dir,
                  { "convert", strRaw, dir.File("back.wav"), "--raw-format", "6", "--raw-rate",
                      "11025", "--raw-channels", "2" }),
        0);
    std::string strSox;
    TestSupport::Run({ "sox", "-t", "raw", "-e", "signed", "-b", "16", "-B", "-r", "11025", "-c",
                         "2", strRaw, "-t", "raw", "-L", "-" },
        &strSox);
    EXPECT_TRUE(Sox::Raw(dir.File("back.wav")) == strSox) << "read back as sox reads it";

    // VOX at 6000 Hz, two samples a byte, and read back at that rate.
    const std::vector<std::string> kVox = { "--raw-format", "0", "--raw-rate", "6000" };
    auto Convert = [&](const std::string& strFrom, const std::string& strTo) {
        std::vector<std::string> args { "convert", strFrom, strTo };
        args.insert(args.end(), kVox.begin(), kVox.end());
        return Cli(dir, args);
    };
    ASSERT_EQ(Convert(strIn, dir.File("a.vox")), 0);
    EXPECT_NEAR(double(std::filesystem::file_size(dir.File("a.vox"))), 6000, 4);
    ASSERT_EQ(Convert(dir.File("a.vox"), dir.File("vox.wav")), 0);
    EXPECT_EQ(Sox::Info("-r", dir.File("vox.wav")), "6000\n");
    EXPECT_NEAR(Sox::Stat(dir.File("vox.wav"), "Length (seconds)"), 2.0, 0.001);
    for (auto& e : std::filesystem::recursive_directory_iterator(dir.Path()))
        EXPECT_NE(e.path().extension(), ".ini") << "no settings written";
}

// The encoder dialog's answers reach the encoder: mpg123 reads them back
// from the frames.
TEST(CliFormats, Mp3OptionsReachTheEncoder)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("lame");
    REQUIRE_PEER("mpg123");
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> kCases = {
        { { "--mp3-bitrate", "64", "--mp3-mode", "mono" },
            { "Bitrate: 64 kbit/s", "mode: Single-Channel", "CRC: No" } },
        { { "--mp3-bitrate", "128", "--mp3-mode", "joint", "--mp3-crc", "on" },
            { "Bitrate: 128 kbit/s", "mode: Joint-Stereo", "CRC: Yes" } },
        { { "--mp3-vbr-min", "32", "--mp3-vbr-max", "192", "--mp3-vbr-quality", "2", "--mp3-mode",
              "stereo" },
            { "Bitrate: VBR", "mode: Stereo" } },
    };
    TempDir dir;
    const std::string strIn = MakeInput(dir, "44100");
    for (const auto& [options, seen] : kCases) {
        std::vector<std::string> args { "convert", strIn, dir.File("a.mp3") };
        args.insert(args.end(), options.begin(), options.end());
        std::string strReport;
        ASSERT_EQ(Cli(dir, args, &strReport), 0) << strReport;
        TestSupport::Run({ "mpg123", "-t", "-vv", dir.File("a.mp3") }, &strReport);
        for (const std::string& s : seen)
            EXPECT_NE(strReport.find(s), std::string::npos) << options[0] << ": " << s;
    }
}

// A refused value: one line naming it, exit 2, nothing written.
TEST(CliFormats, BadValuesAreRefusedBeforeAnythingIsWritten)
{
    REQUIRE_PEER("sox");
    const std::vector<std::vector<std::string>> kCases = {
        { "out.wav", "--wav-format", "pcm12" },
        { "out.wav", "--wav-format" },
        { "out.mp3", "--wav-format", "pcm16" },
        { "out.raw", "--raw-format", "7" },
        { "out.vox", "--raw-rate", "5999" },
        { "out.raw", "--raw-channels", "3" },
        { "out.wav", "--raw-format", "3" },
        { "out.raw", "--raw-format", "3", "--raw-rate", "8000" },
        { "out.mp3", "--mp3-bitrate", "100" },
        { "out.mp3", "--mp3-mode", "quad" },
        { "out.mp3", "--mp3-vbr-quality", "10" },
        { "out.mp3", "--mp3-crc", "yes" },
        { "out.mp3", "--mp3-bitrate", "128", "--mp3-vbr-max", "192" },
        { "out.mp3", "--mp3-vbr-min", "192", "--mp3-vbr-max", "64" },
        { "out.wav", "--mp3-bitrate", "128" },
        { "out.wav", "--frobnicate", "1" },
        { "out.xyz" },
    };
    TempDir dir;
    const std::string strIn = MakeInput(dir);
    for (const auto& c : kCases) {
        std::vector<std::string> args { "convert", strIn, dir.File(c[0]) };
        args.insert(args.end(), c.begin() + 1, c.end());
        std::string strOut;
        EXPECT_EQ(Cli(dir, args, &strOut), 2) << c.back();
        EXPECT_EQ(std::count(strOut.begin(), strOut.end(), '\n'), 1) << strOut;
        EXPECT_EQ(strOut.rfind("orvenna-cli: ", 0), 0u) << strOut;
        EXPECT_FALSE(std::filesystem::exists(dir.File(c[0]))) << strOut;
    }
}
