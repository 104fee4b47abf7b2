#include "audio/LMP3Source.h"

#include "audio/MP3TestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;
using namespace MP3Test;

namespace {

struct Case {
    const char* szName;
    int iChannels;
    int32_t iRate;
    std::vector<std::string> lame;
    bool bClicks;
};

const Case kCases[] = {
    { "cbr128_stereo", 2, 44100, { "-b", "128", "-m", "s" }, false },
    { "joint_stereo", 2, 44100, { "-b", "128", "-m", "j" }, false },
    { "mono", 1, 44100, { "-b", "64", "-m", "m" }, false },
    { "vbr_xing", 2, 44100, { "-V", "2" }, false },
    { "mpeg2_22050", 2, 22050, { "-b", "64" }, false },
    { "mpeg2_24000", 2, 24000, { "-b", "64" }, false },
    { "mpeg2_16000", 1, 16000, { "-b", "32" }, false },
    { "mpeg25_8000", 1, 8000, { "-b", "16" }, false },
    { "mpeg25_11025", 2, 11025, { "-b", "32" }, false },
    { "mpeg25_12000", 1, 12000, { "-b", "24" }, false },
    { "short_blocks", 2, 44100, { "-b", "192" }, true },
    { "short_blocks_lsf", 2, 22050, { "-b", "64" }, true },
    { "mpeg1_48000_crc", 2, 48000, { "-b", "160", "-p" }, false },
    { "mpeg1_32000", 2, 32000, { "-b", "96", "-m", "j" }, true },
};

class MP3Conformance : public ::testing::TestWithParam<Case> { };

} // namespace

// Our decoding matches the peer decoder's sample for sample (within the
// rounding of its 16-bit output) on files of every version, mode and block
// kind the encoder writes.
TEST_P(MP3Conformance, MatchesPeer)
{
    REQUIRE_PEER("lame");
    REQUIRE_PEER("mpg123");
    const Case& c = GetParam();
    TempDir dir;
    std::string wav = dir.File("in.wav"), mp3 = dir.File("in.mp3");
    ASSERT_TRUE(MakeWav(wav, c.iRate * 3, c.iChannels, c.iRate, c.bClicks));
    std::vector<std::string> opts = c.lame;
    opts.insert(opts.end(), { "--resample", std::to_string(c.iRate / 1000.0) });
    ASSERT_TRUE(Lame(opts, wav, mp3));
    std::vector<int16_t> ref = Mpg123(mp3);
    ASSERT_FALSE(ref.empty());
    for (bool bScalar : { false, true }) {
        int ch = 0;
        int32_t len = 0;
        std::vector<int32_t> ours = DecodeAll(mp3, 8192, bScalar, &ch, &len);
        ASSERT_EQ(ch, c.iChannels);
        Match m = Compare(ours, ref, ch);
        std::printf("[ %s%s ] frames ours %zu peer %zu, PSNR %.1f dB, max diff %d\n", c.szName,
            bScalar ? " scalar" : "", ours.size() / size_t(ch), ref.size() / size_t(ch), m.dPsnr,
            m.iMaxDiff);
        EXPECT_EQ(ours.size(), ref.size());
        EXPECT_EQ(len, int32_t(ours.size() / size_t(ch)));
        EXPECT_GT(m.dPsnr, 90.0);
        EXPECT_LE(m.iMaxDiff, 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Lame, MP3Conformance, ::testing::ValuesIn(kCases),
    [](const auto& info) { return std::string(info.param.szName); });
