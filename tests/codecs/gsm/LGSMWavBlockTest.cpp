#include "codecs/gsm/LGSMWavBlock.h"

#include "codecs/gsm/LGSMPeers.h"
#include "support/TestSupport.h"

#include <algorithm>
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
// 320 samples, our encoder produces the same blocks byte for byte (so sox
// reads ours as its own), and our decoder reads sox's blocks to the same
// samples as sox.
TEST(LGSMWavBlock, MatchesSoxBothWays)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const struct {
        std::vector<int16_t> pcm;
        double dMinSnr; // of sox's decode against the input
    } cases[] = { { LGSMPeers::SpeechLike(320 * 300), 5.0 },
        { TestSupport::MakeSignal(320 * 150, 1, 8000, 3), 8.0 } };
    for (const auto& [pcm, dMinSnr] : cases) {
        const size_t nBlocks = pcm.size() / 320;
        SCOPED_TRACE(nBlocks);
        ASSERT_TRUE(TestSupport::WriteAll(dir.File("in.raw"), LGSMPeers::ToBytes(pcm)));
        std::string strWav = dir.File("sox.wav");
        ASSERT_EQ(TestSupport::Run({ "sox", "-D", "-t", "raw", "-r", "8000", "-e", "signed", "-b",
                      "16", "-c", "1", dir.File("in.raw"), "-e", "gsm-full-rate", strWav }),
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
        ASSERT_GE(uDataSize, 65 * nBlocks);

        LGSMWavBlock enc;
        LGSMWavBlock dec;
        std::vector<int16_t> ours(pcm.size());
        size_t uBadEnc = SIZE_MAX;
        for (size_t b = 0; b < nBlocks; ++b) {
            uint8_t block[65];
            enc.Encode(pcm.data() + 320 * b, block);
            if (uBadEnc == SIZE_MAX && std::memcmp(block, &wav[uData + 65 * b], 65) != 0)
                uBadEnc = b;
            dec.Decode(&wav[uData + 65 * b], ours.data() + 320 * b);
        }
        EXPECT_EQ(uBadEnc, SIZE_MAX) << "first block differing from sox's";

        std::vector<int16_t> ref = SoxDecode(dir, strWav);
        ASSERT_GE(ref.size(), ours.size());
        size_t uDiff = std::mismatch(ours.begin(), ours.end(), ref.begin()).first - ours.begin();
        EXPECT_EQ(uDiff, ours.size()) << "first sample differing from sox's decode";
        EXPECT_GT(LGSMPeers::SnrDb(pcm.data(), ref.data(), pcm.size(), 800), dMinSnr);
    }
}
