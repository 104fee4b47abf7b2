#include "audio/LMP3Source.h"

#include "audio/PeerTestUtil.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace TestSupport;
using namespace PeerTest;

namespace {

struct Case {
    const char* szName;
    int iChannels;
    int32_t iRate;
    std::vector<std::string> lame;
    Material material;
    // The peer that follows the standard where the two peers part; nullptr
    // when matching either is enough.
    const char* szStandardPeer = nullptr;
};

using M = Material;

const Case kCases[] = {
    { "cbr128_stereo", 2, 44100, { "-b", "128", "-m", "s" }, M::Signal },
    { "joint_stereo", 2, 44100, { "-b", "128", "-m", "j" }, M::Signal },
    { "mono", 1, 44100, { "-b", "64", "-m", "m" }, M::Signal },
    { "vbr_xing", 2, 44100, { "-V", "2" }, M::Signal },
    { "mpeg2_22050", 2, 22050, { "-b", "64" }, M::Signal },
    // The 24 kHz long-block band table: the encoder and the standard put the
    // boundary of band 18 at line 332, ffmpeg at 330.
    { "mpeg2_24000", 2, 24000, { "-b", "64" }, M::Signal, "mpg123" },
    { "mpeg2_16000", 1, 16000, { "-b", "32" }, M::Signal },
    { "mpeg25_8000", 1, 8000, { "-b", "16" }, M::Signal },
    { "mpeg25_11025", 2, 11025, { "-b", "32" }, M::Signal },
    { "mpeg25_12000", 1, 12000, { "-b", "24" }, M::Signal },
    { "short_blocks", 2, 44100, { "-b", "192" }, M::Clicks },
    { "short_blocks_lsf", 2, 22050, { "-b", "64" }, M::Clicks },
    { "mpeg1_48000_crc", 2, 48000, { "-b", "160", "-p" }, M::Signal },
    { "mpeg1_32000", 2, 32000, { "-b", "96", "-m", "j" }, M::Clicks },
    // Bit rates, rate control and channel modes on real-world material.
    { "cbr32_mono_speech", 1, 32000, { "-b", "32", "-m", "m" }, M::Speech },
    { "cbr320_stereo_music", 2, 44100, { "-b", "320", "-m", "s" }, M::Music },
    { "vbr_v0_music", 2, 44100, { "-V", "0" }, M::Music },
    { "vbr_v7_speech", 2, 44100, { "-V", "7" }, M::Speech },
    { "abr96_joint_music", 2, 44100, { "--abr", "96", "-m", "j" }, M::Music },
    { "dual_channel_music", 2, 48000, { "-b", "192", "-m", "d" }, M::Music },
    { "joint_48000_speech", 2, 48000, { "-b", "112", "-m", "j" }, M::Speech },
    { "vbr_crc_music", 2, 44100, { "-V", "4", "-p" }, M::Music },
    { "mpeg2_16000_joint_speech", 2, 16000, { "-b", "32", "-m", "j" }, M::Speech },
    { "mpeg2_22050_vbr_music", 2, 22050, { "-V", "5" }, M::Music },
    { "mpeg2_24000_joint_music", 2, 24000, { "-b", "48", "-m", "j" }, M::Music, "mpg123" },
    { "mpeg2_24000_mono_speech", 1, 24000, { "-b", "32", "-m", "m" }, M::Speech, "mpg123" },
    { "mpeg2_22050_crc_dual", 2, 22050, { "-b", "96", "-m", "d", "-p" }, M::Music },
    { "mpeg25_8000_mono_speech", 1, 8000, { "-b", "8", "-m", "m" }, M::Speech },
    { "mpeg25_11025_joint_music", 2, 11025, { "-b", "24", "-m", "j" }, M::Music },
    { "mpeg25_12000_stereo_speech", 2, 12000, { "-b", "32", "-m", "s" }, M::Speech },
    // Tags: a large ID3v2 tag before the audio, an ID3v1 tag after it.
    { "id3v2_tag", 2, 44100,
        { "-b", "128", "--add-id3v2", "--pad-id3v2-size", "40000", "--tt", "Title", "--ta",
            "Artist", "--tl", "Album" },
        M::Music },
    { "id3v1_tag", 2, 44100, { "-b", "128", "--id3v1-only", "--tt", "Title", "--ta", "Artist" },
        M::Speech },
};

class MP3Conformance : public ::testing::TestWithParam<Case> { };

} // namespace

// Our decoding matches the peers' within their 16-bit rounding on every kind
// of file the encoder writes; the length at opening is the true one.
TEST_P(MP3Conformance, MatchesPeers)
{
    REQUIRE_PEER("lame");
    REQUIRE_PEER("mpg123");
    REQUIRE_PEER("ffmpeg");
    const Case& c = GetParam();
    if (c.material == M::Speech || c.material == M::Music)
        REQUIRE_PEER("sox");
    TempDir dir;
    std::string wav = dir.File("in.wav"), mp3 = dir.File("in.mp3");
    ASSERT_TRUE(MakeMaterial(c.material, wav, 3.0, c.iChannels, c.iRate));
    std::vector<std::string> opts = c.lame;
    opts.insert(opts.end(), { "--resample", std::to_string(c.iRate / 1000.0) });
    ASSERT_TRUE(Lame(opts, wav, mp3));
    std::vector<int16_t> refM = Mpg123(mp3);
    // skip_manual: ffmpeg keeps the encoder delay and padding, as mpg123 --no-gapless.
    std::vector<int16_t> refF = PeerDecode("ffmpeg", mp3, { "-flags2", "+skip_manual" });
    ASSERT_FALSE(refM.empty());
    ASSERT_FALSE(refF.empty());
    int32_t first = c.iRate >= 32000 ? 1152 : 576;
    for (bool bScalar : { false, true }) {
        int ch = 0;
        int32_t len = 0, atOpen = 0;
        std::vector<int32_t> ours = DecodeAll(mp3, 8192, bScalar, &ch, &len, &atOpen);
        ASSERT_EQ(ch, c.iChannels);
        Match m = Compare(ours, refM, ch, first);
        Match f = Compare(ours, refF, ch, first);
        SCOPED_TRACE(::testing::Message() << (bScalar ? "scalar" : "vector") << ": max diff mpg123 "
                                          << m.iMaxDiff << " ffmpeg " << f.iMaxDiff);
        EXPECT_EQ(ours.size(), refM.size());
        EXPECT_EQ(ours.size(), refF.size());
        EXPECT_EQ(len, int32_t(ours.size() / size_t(ch)));
        EXPECT_EQ(atOpen, len);
        if (c.szStandardPeer) {
            const Match& chosen = std::string(c.szStandardPeer) == "mpg123" ? m : f;
            EXPECT_LE(chosen.iMaxDiff, 2) << c.szStandardPeer;
            EXPECT_GT(chosen.dPsnr, 90.0);
        } else {
            EXPECT_LE(std::min(m.iMaxDiff, f.iMaxDiff), 2);
            EXPECT_GT(std::max(m.dPsnr, f.dPsnr), 90.0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lame, MP3Conformance, ::testing::ValuesIn(kCases),
    [](const auto& info) { return std::string(info.param.szName); });
