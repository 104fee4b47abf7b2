#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using namespace TestSupport;

namespace {
const std::string kCli = ORVENNA_CLI_PATH;

int Cli(const TempDir& dir, std::vector<std::string> args, std::string* pOut = nullptr)
{
    setenv("ORVENNA_CONFIG_DIR", dir.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    args.insert(args.begin(), kCli);
    return TestSupport::Run(args, pOut);
}

// The codec names `formats` lists under "wav codecs".
std::vector<std::string> ListedCodecs(const TempDir& dir)
{
    std::string strOut;
    EXPECT_EQ(Cli(dir, { "formats" }, &strOut), 0);
    std::istringstream in(strOut);
    std::vector<std::string> names;
    bool bIn = false;
    for (std::string strLine; std::getline(in, strLine);) {
        if (strLine.rfind("  ", 0) != 0)
            bIn = strLine.rfind("wav codecs", 0) == 0;
        else if (bIn)
            names.push_back(strLine.substr(2, strLine.find(' ', 2) - 2));
    }
    return names;
}

// 16-bit samples of any file, as ffmpeg decodes it, at 11025 Hz.
std::vector<int16_t> Ffmpeg(const std::string& strPath, int iChannels)
{
    std::string strOut;
    TestSupport::Run({ "ffmpeg", "-v", "error", "-i", strPath, "-f", "s16le", "-ac",
                         std::to_string(iChannels), "-" },
        &strOut);
    std::vector<int16_t> v(strOut.size() / 2);
    std::memcpy(v.data(), strOut.data(), v.size() * 2);
    return v;
}

std::string Probe(const std::string& strPath, const std::string& strEntry)
{
    std::string strOut;
    TestSupport::Run({ "ffprobe", "-v", "error", "-show_entries", "stream=" + strEntry, "-of",
                         "default=nw=1:nk=1", strPath },
        &strOut);
    return strOut.substr(0, strOut.find('\n'));
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

double StatValue(const std::string& strStat, const std::string& strKey)
{
    size_t at = strStat.find(strKey);
    return at == std::string::npos ? -1 : std::stod(strStat.substr(strStat.find(':', at) + 1));
}

std::string MakeInput(const TempDir& dir, const char* szRate = "11025")
{
    // Stereo (every codec lists 11025 Hz), different tones left and right.
    std::string strIn = dir.File("in.wav");
    EXPECT_EQ(TestSupport::Run({ "sox", "-n", "-r", szRate, "-c", "2", "-b", "16", strIn, "synth",
                  "2", "sine", "300", "sine", "700", "vol", "0.4" }),
        0);
    return strIn;
}
} // namespace

// Every codec `formats` lists, written by convert --wav-format and decoded by
// ffmpeg: the codec asked for, with the samples meant within its error bound.
TEST(CliFormats, WavFormatForEveryListedCodecReadsBackInFfmpeg)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("ffmpeg");
    struct Bound {
        const char* szName;
        const char* szFfmpegCodec;
        int iChannels; // what the codec writes from stereo input
        double dMinSnr;
    };
    const Bound kBounds[] = {
        { "pcm8", "pcm_u8", 2, 38 },
        { "pcm16", "pcm_s16le", 2, 200 },
        { "pcm24", "pcm_s24le", 2, 200 },
        { "pcm32", "pcm_s32le", 2, 200 },
        { "float32", "pcm_f32le", 2, 200 },
        { "alaw", "pcm_alaw", 2, 34 },
        { "ulaw", "pcm_mulaw", 2, 34 },
        { "ima-adpcm", "adpcm_ima_wav", 2, 25 },
        { "ms-adpcm", "adpcm_ms", 2, 33 },
        { "gsm610", "gsm_ms", 1, 17 },
    };
    TempDir dir;
    const std::string strIn = MakeInput(dir);
    const std::vector<std::string> names = ListedCodecs(dir);
    for (const Bound& b : kBounds)
        EXPECT_NE(std::find(names.begin(), names.end(), b.szName), names.end())
            << b.szName << " not listed";
    for (const std::string& strName : names) {
        const Bound* pBound = nullptr;
        for (const Bound& b : kBounds)
            pBound = strName == b.szName ? &b : pBound;
        ASSERT_TRUE(pBound) << strName << " has no error bound here";
        std::string strOut = dir.File(strName + ".wav"), strMsg;
        ASSERT_EQ(Cli(dir, { "convert", strIn, strOut, "--wav-format", strName }, &strMsg), 0)
            << strName << strMsg;
        EXPECT_EQ(Probe(strOut, "codec_name"), pBound->szFfmpegCodec) << strName;
        EXPECT_EQ(Probe(strOut, "channels"), std::to_string(pBound->iChannels)) << strName;
        EXPECT_EQ(Probe(strOut, "sample_rate"), "11025") << strName;
        // A mono file holds the left channel.
        std::vector<int16_t> want = Ffmpeg(strIn, 2);
        for (size_t i = 0; pBound->iChannels == 1 && i < want.size() / 2; ++i)
            want[i] = want[2 * i];
        want.resize(want.size() / (3 - pBound->iChannels));
        const std::vector<int16_t> got = Ffmpeg(strOut, pBound->iChannels);
        EXPECT_NEAR(double(got.size()), double(want.size()), 1024.0 * pBound->iChannels)
            << strName << ": at most one block longer";
        EXPECT_GT(SnrDb(want, got), pBound->dMinSnr) << strName;
    }
    // Nothing was stored for the editor.
    EXPECT_FALSE(std::filesystem::exists(dir.File("Orvenna/Current/WavCodec.wff")));
}

// Headerless output and input with the --raw options, against sox.
TEST(CliFormats, RawAndVoxOptionsRoundTrip)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::string strIn = MakeInput(dir);
    // 16 bit PCM (BE), two channels: the mono mix on both.
    ASSERT_EQ(
        Cli(dir,
            { "convert", strIn, dir.File("a.raw"), "--raw-format", "6", "--raw-channels", "2" }),
        0);
    EXPECT_EQ(std::filesystem::file_size(dir.File("a.raw")), 22050u * 2 * 2);
    std::string strSox, strOurs;
    TestSupport::Run({ "sox", "-t", "raw", "-e", "signed", "-b", "16", "-B", "-r", "11025", "-c",
                         "2", dir.File("a.raw"), "-t", "raw", "-L", "-" },
        &strSox);
    ASSERT_EQ(Cli(dir,
                  { "convert", dir.File("a.raw"), dir.File("back.wav"), "--raw-format", "6",
                      "--raw-rate", "11025", "--raw-channels", "2" }),
        0);
    TestSupport::Run({ "sox", dir.File("back.wav"), "-t", "raw", "-L", "-" }, &strOurs);
    ASSERT_EQ(strSox.size(), 22050u * 4);
    EXPECT_TRUE(strOurs == strSox) << "raw read back sample for sample";

    // VOX at 6000 Hz: two samples a byte.
    ASSERT_EQ(
        Cli(dir,
            { "convert", strIn, dir.File("a.vox"), "--raw-format", "0", "--raw-rate", "6000" }),
        0);
    EXPECT_NEAR(double(std::filesystem::file_size(dir.File("a.vox"))), 6000, 4);
    std::string strInfo;
    ASSERT_EQ(Cli(dir,
                  { "convert", dir.File("a.vox"), dir.File("vox.wav"), "--raw-format", "0",
                      "--raw-rate", "6000" }),
        0);
    ASSERT_EQ(Cli(dir, { "info", dir.File("vox.wav") }, &strInfo), 0);
    EXPECT_NE(strInfo.find("rate      6000 Hz"), std::string::npos) << strInfo;
    std::string strStat;
    TestSupport::Run(
        { "sox", "-t", "vox", "-r", "6000", dir.File("a.vox"), "-n", "stat" }, &strStat);
    // The left channel (a 0.4 sine) at two samples a byte.
    EXPECT_NEAR(StatValue(strStat, "Length (seconds)"), 2.0, 0.01) << strStat;
    EXPECT_NEAR(StatValue(strStat, "RMS     amplitude"), 0.4 / std::sqrt(2.0), 0.02) << strStat;
    // The editor's stored "File Properties" were not changed.
    std::string strIni;
    for (auto& e : std::filesystem::recursive_directory_iterator(dir.Path()))
        if (e.path().extension() == ".ini")
            for (uint8_t c : ReadAll(e.path().string()))
                strIni += char(c);
    EXPECT_EQ(strIni.find("VoxRaw"), std::string::npos) << strIni;
}

// The encoder dialog's answers reach the encoder: mpg123 reads them back
// from the frames.
TEST(CliFormats, Mp3OptionsReachTheEncoder)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("lame");
    REQUIRE_PEER("mpg123");
    struct Case {
        std::vector<std::string> options;
        std::vector<std::string> seen; // in mpg123 -t -vv's report
    };
    const Case kCases[] = {
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
    for (const Case& c : kCases) {
        std::vector<std::string> args { "convert", strIn, dir.File("a.mp3") };
        args.insert(args.end(), c.options.begin(), c.options.end());
        std::string strMsg;
        ASSERT_EQ(Cli(dir, args, &strMsg), 0) << strMsg;
        std::string strReport;
        TestSupport::Run({ "mpg123", "-t", "-vv", dir.File("a.mp3") }, &strReport);
        for (const std::string& s : c.seen)
            EXPECT_NE(strReport.find(s), std::string::npos) << c.options[0] << ": " << s;
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
        EXPECT_EQ(Cli(dir, args, &strOut), 2) << c[1 % c.size()];
        EXPECT_EQ(std::count(strOut.begin(), strOut.end(), '\n'), 1) << strOut;
        EXPECT_EQ(strOut.rfind("orvenna-cli: ", 0), 0u) << strOut;
        EXPECT_FALSE(std::filesystem::exists(dir.File(c[0]))) << strOut;
    }
}
