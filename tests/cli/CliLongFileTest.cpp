// Files longer than the engine's 32-bit frame counts, and WAV output past
// 4 GiB (RF64), through the real program.
#include "support/CliRun.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/statvfs.h>

using namespace TestSupport;

namespace {
void PutBE32(std::vector<uint8_t>& v, uint32_t x)
{
    for (int i = 24; i >= 0; i -= 8)
        v.push_back(uint8_t(x >> i));
}

// A file of iSize bytes that begins with the header and is sparse after it.
void WriteSparse(const std::string& strPath, const std::vector<uint8_t>& header, uint64_t uSize)
{
    ASSERT_TRUE(WriteAll(strPath, header));
    std::filesystem::resize_file(strPath, uSize);
}

// The headerless-file settings (VoxRawFileFormat: 0 VOX, 3 16-bit LE, 4 8-bit unsigned).
void WriteSettings(const TempDir& dir, int iRate, int iChannels, int iFormat)
{
    std::string s = "[Settings]\nVoxRawSampleRate=" + std::to_string(iRate)
        + "\nVoxRawFileChannels=" + std::to_string(iChannels)
        + "\nVoxRawFileFormat=" + std::to_string(iFormat) + "\n";
    WriteAll(dir.File("Orvenna.ini"), std::vector<uint8_t>(s.begin(), s.end()));
}

// Every file in dir besides the input and the settings.
std::vector<std::string> Leftovers(const TempDir& dir, const std::string& strIn)
{
    std::vector<std::string> v;
    for (auto& e : std::filesystem::recursive_directory_iterator(dir.Path()))
        if (e.is_regular_file() && e.path() != strIn && e.path().filename() != "Orvenna.ini")
            v.push_back(e.path().string());
    return v;
}

constexpr uint32_t kData = 0x90000000; // 2415919104 bytes, one per frame
} // namespace

// More frames than the engine counts, 8000 Hz mono, in every format whose
// length comes from its size: info tells the true length and the limit, and
// convert and edit fail cleanly, leaving nothing behind.
TEST(CliLongFile, TooLongFilesFailCleanlyInEveryFormat)
{
    struct Case {
        const char* szExt;
        int iHeaderlessFormat; // VoxRawFileFormat for .vox and .raw
        std::vector<uint8_t> header;
        uint64_t uSize;
        int64_t iFrames;
    };
    std::vector<uint8_t> wav, au, aiff;
    PutTag(wav, "RIFF"), Put32(wav, kData + 36), PutTag(wav, "WAVE"), PutTag(wav, "fmt "),
        Put32(wav, 16);
    Put16(wav, 1), Put16(wav, 1), Put32(wav, 8000), Put32(wav, 8000), Put16(wav, 1), Put16(wav, 8);
    PutTag(wav, "data"), Put32(wav, kData);
    PutTag(au, ".snd"), PutBE32(au, 24), PutBE32(au, kData), PutBE32(au, 1), PutBE32(au, 8000),
        PutBE32(au, 1);
    const uint8_t aRate8000[10] = { 0x40, 0x0B, 0xFA, 0, 0, 0, 0, 0, 0, 0 };
    PutTag(aiff, "FORM"), PutBE32(aiff, kData + 46), PutTag(aiff, "AIFF"), PutTag(aiff, "COMM"),
        PutBE32(aiff, 18);
    aiff.insert(aiff.end(), { 0, 1 }), PutBE32(aiff, kData), aiff.insert(aiff.end(), { 0, 8 });
    aiff.insert(aiff.end(), aRate8000, aRate8000 + 10);
    PutTag(aiff, "SSND"), PutBE32(aiff, kData + 8), PutBE32(aiff, 0), PutBE32(aiff, 0);
    const uint64_t uGsmFrames = kData / 160 + 1;
    const std::vector<Case> cases = {
        { ".wav", 0, wav, wav.size() + uint64_t(kData), kData },
        { ".au", 0, au, au.size() + uint64_t(kData), kData },
        { ".aiff", 0, aiff, aiff.size() + uint64_t(kData), kData },
        { ".vox", 0, {}, kData / 2, kData },
        { ".raw", 4, {}, kData, kData }, // 8-bit unsigned
        { ".gsm", 0, {}, uGsmFrames * 33, int64_t(uGsmFrames * 160) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szExt);
        TempDir dir;
        WriteSettings(dir, 8000, 1, c.iHeaderlessFormat);
        const std::string strIn = dir.File(std::string("long") + c.szExt);
        WriteSparse(strIn, c.header, c.uSize);

        std::string strOut;
        EXPECT_EQ(Cli(dir, { "info", strIn }, &strOut), 2) << strOut;
        EXPECT_NE(strOut.find("frames    " + std::to_string(c.iFrames)), std::string::npos)
            << strOut;
        EXPECT_NE(strOut.find("longer than the 74.5 hours Orvenna can edit at 8000 Hz"),
            std::string::npos)
            << strOut;
        for (auto args : { std::vector<std::string> { "convert", strIn, dir.File("out.wav") },
                 std::vector<std::string> {
                     "edit", strIn, "-o", dir.File("out.wav"), "Reverse" } }) {
            strOut.clear();
            EXPECT_EQ(Cli(dir, args, &strOut), 2) << args[0] << ": " << strOut;
            EXPECT_NE(strOut.find("74.5 hours"), std::string::npos) << args[0] << ": " << strOut;
            EXPECT_EQ(Leftovers(dir, strIn), std::vector<std::string> {}) << args[0];
        }
    }
}

// A WAV output past 4 GiB becomes RF64, which sox and ffmpeg read with the
// true length; so do we. Writes about 4.4 GB, removed at the end.
TEST(CliLongFile, WavPastFourGiBIsRF64ThatPeersRead)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("ffprobe");
    TempDir dir;
    struct statvfs st { };
    if (statvfs(dir.Path().c_str(), &st) != 0
        || uint64_t(st.f_bavail) * st.f_frsize < (10ull << 30))
        GTEST_SKIP() << "less than 10 GiB free in " << dir.Path()
                     << ": the 4.4 GB RF64 test is skipped";
    // Silent 16-bit stereo, headerless and sparse: 1.1 billion frames.
    const int64_t iFrames = 1100000000;
    WriteSettings(dir, 44100, 2, 3);
    const std::string strIn = dir.File("silence.raw"), strOut = dir.File("big.wav");
    WriteSparse(strIn, {}, uint64_t(iFrames) * 4);
    std::string strLog;
    ASSERT_EQ(Cli(dir, { "convert", strIn, strOut }, &strLog), 0) << strLog;
    // Sizes wrapped at 32 bits would give a quarter of the length.
    EXPECT_EQ(std::filesystem::file_size(strOut), 82 + uint64_t(iFrames) * 4);

    std::string strSox, strProbe;
    ASSERT_EQ(TestSupport::Run({ "sox", "--i", "-s", strOut }, &strSox), 0) << strSox;
    EXPECT_EQ(std::stoll(strSox), iFrames) << strSox;
    ASSERT_EQ(TestSupport::Run({ "ffprobe", "-v", "error", "-show_entries", "stream=duration_ts",
                                   "-of", "csv=p=0", strOut },
                  &strProbe),
        0)
        << strProbe;
    EXPECT_EQ(std::stoll(strProbe), iFrames) << strProbe;
    // ffmpeg decodes the last part of the data, past 4 GiB, to its true end.
    const int64_t iSeconds = iFrames / 44100;
    ASSERT_EQ(TestSupport::Run({ "ffmpeg", "-v", "error", "-ss", std::to_string(iSeconds), "-i",
                  strOut, "-f", "s16le", dir.File("tail.raw") }),
        0);
    EXPECT_EQ(
        std::filesystem::file_size(dir.File("tail.raw")), uint64_t(iFrames - iSeconds * 44100) * 4);
    std::filesystem::remove(strOut);
}

// AU and AIFF sizes are 32-bit (AIFF's signed): a longer output is refused
// before anything is written.
TEST(CliLongFile, AuAndAiffRefuseWhatTheirSizesCannotHold)
{
    TempDir dir;
    WriteSettings(dir, 44100, 2, 3);
    const std::string strIn = dir.File("silence.raw");
    WriteSparse(strIn, {}, 1100000000ull * 4); // 16-bit stereo, 4.4 GB as 16-bit output
    for (const char* szOut : { "out.au", "out.aif", "out.aifc" }) {
        std::string strOut;
        EXPECT_EQ(Cli(dir, { "convert", strIn, dir.File(szOut) }, &strOut), 2) << szOut;
        EXPECT_NE(strOut.find("this file type holds at most"), std::string::npos) << strOut;
        EXPECT_EQ(Leftovers(dir, strIn), std::vector<std::string> {}) << szOut;
    }
}
