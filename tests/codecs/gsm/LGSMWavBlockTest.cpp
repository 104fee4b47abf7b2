#include "codecs/gsm/LGSMWavBlock.h"

#include "codecs/gsm/LGSMPeers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using TestSupport::TempDir;

namespace {
uint32_t Get32(const std::vector<uint8_t>& v, size_t i)
{
    return v[i] | v[i + 1] << 8 | v[i + 2] << 16 | uint32_t(v[i + 3]) << 24;
}

// The offset of a RIFF WAVE file's data chunk, or 0.
size_t DataOffset(const std::vector<uint8_t>& v)
{
    for (size_t i = 12; i + 8 <= v.size(); i += 8 + Get32(v, i + 4) + (Get32(v, i + 4) & 1))
        if (std::memcmp(&v[i], "data", 4) == 0)
            return i + 8;
    return 0;
}
} // namespace

// Our encoder makes sox's GSM WAV blocks byte for byte: the two frames'
// packing. Decoding against the peers, and the header, are checked through
// the WAV reader and writer in the audio tests (ACMWavePeerFiles, ACMFileWrite).
TEST(LGSMWavBlock, EncodesSoxsBlocks)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::vector<int16_t> pcm = LGSMPeers::SpeechLike(320 * 300);
    ASSERT_TRUE(TestSupport::WriteAll(dir.File("in.raw"), LGSMPeers::ToBytes(pcm)));
    const std::string strWav = dir.File("sox.wav");
    ASSERT_EQ(TestSupport::Run({ "sox", "-D", "-t", "raw", "-r", "8000", "-e", "signed", "-b", "16",
                  "-c", "1", dir.File("in.raw"), "-e", "gsm-full-rate", strWav }),
        0);
    const std::vector<uint8_t> wav = TestSupport::ReadAll(strWav);
    const size_t uData = DataOffset(wav);
    ASSERT_GT(uData, 0u);
    ASSERT_GE(wav.size(), uData + 65 * 300);
    LGSMWavBlock enc;
    for (size_t b = 0; b < 300; ++b) {
        uint8_t block[65];
        enc.Encode(pcm.data() + 320 * b, block);
        ASSERT_EQ(std::memcmp(block, &wav[uData + 65 * b], 65), 0) << "block " << b;
    }
}
