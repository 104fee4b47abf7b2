#include "codecs/gsm/LGSMWavBlock.h"

#include "codecs/gsm/LGSMPeers.h"
#include "support/TestSupport.h"

#include <cstdio>
#include <gtest/gtest.h>

using TestSupport::TempDir;

namespace {

uint32_t Get16(const std::vector<uint8_t>& v, size_t i)
{
    return v[i] | (v[i + 1] << 8);
}
uint32_t Get32(const std::vector<uint8_t>& v, size_t i)
{
    return Get16(v, i) | Get16(v, i + 2) << 16;
}

// Finds a chunk of a RIFF WAVE file; returns its offset and size, or false.
bool FindChunk(const std::vector<uint8_t>& v, const char* szTag, size_t& uOff, size_t& uSize)
{
    for (size_t i = 12; i + 8 <= v.size();) {
        size_t n = Get32(v, i + 4);
        if (std::memcmp(&v[i], szTag, 4) == 0) {
            uOff = i + 8;
            uSize = std::min(n, v.size() - uOff);
            return true;
        }
        i += 8 + n + (n & 1);
    }
    return false;
}

// A GSM 6.10 WAV file the way the codec manager describes the format.
std::vector<uint8_t> MakeGsmWav(const std::vector<uint8_t>& data, uint32_t uSamples)
{
    std::vector<uint8_t> v;
    TestSupport::PutTag(v, "RIFF");
    TestSupport::Put32(v, uint32_t(4 + 28 + 12 + 8 + data.size()));
    TestSupport::PutTag(v, "WAVE");
    TestSupport::PutTag(v, "fmt ");
    TestSupport::Put32(v, 20);
    TestSupport::Put16(v, 0x31);
    TestSupport::Put16(v, 1);
    TestSupport::Put32(v, 8000);
    TestSupport::Put32(v, 1625);
    TestSupport::Put16(v, 65);
    TestSupport::Put16(v, 0);
    TestSupport::Put16(v, 2);
    TestSupport::Put16(v, 320);
    TestSupport::PutTag(v, "fact");
    TestSupport::Put32(v, 4);
    TestSupport::Put32(v, uSamples);
    TestSupport::PutTag(v, "data");
    TestSupport::Put32(v, uint32_t(data.size()));
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

std::vector<int16_t> SoxDecode(const TempDir& dir, const std::string& strWav)
{
    std::string strRaw = dir.File("sox-out.raw");
    if (TestSupport::Run({ "sox", "-D", strWav, "-t", "raw", "-e", "signed", "-b", "16", strRaw })
        != 0)
        return {};
    return LGSMPeers::ToSamples(TestSupport::ReadAll(strRaw));
}

} // namespace

// sox (libgsm in WAV mode) writes GSM WAV: the header says 65-byte blocks of
// 320 samples, our encoder produces the same blocks byte for byte, and our
// decoder reads sox's blocks to the same samples as sox.
TEST(LGSMWavBlock, MatchesSoxBothWays)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const int iBlocks = 300;
    std::vector<int16_t> pcm = LGSMPeers::SpeechLike(320 * iBlocks);
    ASSERT_TRUE(TestSupport::WriteAll(dir.File("in.raw"), LGSMPeers::ToBytes(pcm)));
    std::string strWav = dir.File("sox.wav");
    ASSERT_EQ(TestSupport::Run({ "sox", "-D", "-t", "raw", "-r", "8000", "-e", "signed", "-b", "16",
                  "-c", "1", dir.File("in.raw"), "-e", "gsm-full-rate", strWav }),
        0);
    std::vector<uint8_t> wav = TestSupport::ReadAll(strWav);
    size_t uFmt = 0, uFmtSize = 0, uData = 0, uDataSize = 0;
    ASSERT_TRUE(FindChunk(wav, "fmt ", uFmt, uFmtSize));
    ASSERT_TRUE(FindChunk(wav, "data", uData, uDataSize));
    ASSERT_GE(uFmtSize, 20u);
    EXPECT_EQ(Get16(wav, uFmt), 0x31u);
    EXPECT_EQ(Get16(wav, uFmt + 12), 65u);
    EXPECT_EQ(Get16(wav, uFmt + 16), 2u);
    EXPECT_EQ(Get16(wav, uFmt + 18), 320u);
    ASSERT_GE(uDataSize, size_t(65 * iBlocks));

    LGSMWavBlock enc;
    LGSMWavBlock dec;
    std::vector<int16_t> ours(pcm.size());
    size_t uBadEnc = SIZE_MAX;
    for (int b = 0; b < iBlocks; ++b) {
        uint8_t block[65];
        enc.Encode(pcm.data() + 320 * b, block);
        if (uBadEnc == SIZE_MAX && std::memcmp(block, &wav[uData + 65 * size_t(b)], 65) != 0)
            uBadEnc = size_t(b);
        dec.Decode(&wav[uData + 65 * size_t(b)], ours.data() + 320 * b);
    }
    EXPECT_EQ(uBadEnc, SIZE_MAX) << "first block differing from sox's";

    std::vector<int16_t> ref = SoxDecode(dir, strWav);
    ASSERT_GE(ref.size(), ours.size());
    size_t uDiff = 0;
    while (uDiff < ours.size() && ours[uDiff] == ref[uDiff])
        ++uDiff;
    EXPECT_EQ(uDiff, ours.size()) << "first sample differing from sox's decode";
}

// A WAV file holding our blocks reads in sox to what our decoder gives.
TEST(LGSMWavBlock, SoxReadsOurBlocks)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const int iBlocks = 150;
    std::vector<int16_t> pcm = TestSupport::MakeSignal(320 * iBlocks, 1, 8000, 3);
    LGSMWavBlock enc;
    LGSMWavBlock dec;
    std::vector<uint8_t> data(65 * size_t(iBlocks));
    std::vector<int16_t> ours(pcm.size());
    for (int b = 0; b < iBlocks; ++b) {
        enc.Encode(pcm.data() + 320 * b, data.data() + 65 * b);
        dec.Decode(data.data() + 65 * b, ours.data() + 320 * b);
    }
    std::string strWav = dir.File("ours.wav");
    ASSERT_TRUE(TestSupport::WriteAll(strWav, MakeGsmWav(data, uint32_t(pcm.size()))));
    std::vector<int16_t> ref = SoxDecode(dir, strWav);
    ASSERT_EQ(ref.size(), pcm.size());
    EXPECT_TRUE(ref == ours);
    double dSnr = LGSMPeers::SnrDb(pcm.data(), ref.data(), pcm.size(), 800);
    std::printf("[ GSM ] WAV blocks: SNR of sox's decode of our blocks vs input %.2f dB\n", dSnr);
    EXPECT_GT(dSnr, 8.0);
}
