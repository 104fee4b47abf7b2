#include "audio/LWaveFile.h"
#include "audio/PeerTestUtil.h"
#include "platform/acm/LAcm.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace TestSupport;
using namespace PeerTest;

namespace {

// A WAV of tag 0x55 around an MP3 stream, with no extra format bytes.
std::vector<uint8_t> Mp3Wav(const std::vector<uint8_t>& mp3, int iChannels, uint32_t uRate)
{
    std::vector<uint8_t> fmt;
    Put16(fmt, WAVE_FORMAT_MPEGLAYER3);
    Put16(fmt, uint32_t(iChannels));
    Put32(fmt, uRate);
    Put32(fmt, 16000);
    Put16(fmt, 1);
    Put16(fmt, 0);
    Put16(fmt, 0);
    return Riff({ { "fmt ", fmt }, { "data", mp3 } });
}

// ffmpeg's MP3-in-WAV encoding of a WAV.
bool FfmpegMp3(
    const std::string& strIn, const std::string& strOut, const std::vector<std::string>& codec)
{
    std::vector<std::string> args
        = { "ffmpeg", "-v", "error", "-y", "-i", strIn, "-c:a", "libmp3lame" };
    args.insert(args.end(), codec.begin(), codec.end());
    args.push_back(strOut);
    return TestSupport::Run(args) == 0;
}

struct FileCase {
    const char* szName;
    int iChannels;
    int32_t iRate;
    std::vector<std::string> lame;
};

class ACMMp3PeerFiles : public ::testing::TestWithParam<FileCase> { };

// A lame stream led by an Info/Xing frame, in a header without extra bytes,
// decodes as mpg123 decodes the stream (ffmpeg's MP3-in-WAV: ACMWavePeerFiles).
TEST_P(ACMMp3PeerFiles, DecodeAsPeer)
{
    const FileCase& c = GetParam();
    REQUIRE_PEER("lame");
    REQUIRE_PEER("mpg123");
    TempDir dir;
    std::string in = dir.File("in.wav"), out = dir.File("out.wav"), mp3 = dir.File("out.mp3");
    ASSERT_TRUE(MakeWav(in, c.iRate * 2, c.iChannels, c.iRate, true));
    std::vector<std::string> opts = c.lame;
    opts.insert(opts.end(), { "--resample", std::to_string(c.iRate / 1000.0) });
    ASSERT_TRUE(Lame(opts, in, mp3));
    ASSERT_TRUE(WriteAll(out, Mp3Wav(ReadAll(mp3), c.iChannels, uint32_t(c.iRate))));
    std::vector<int16_t> ref = Mpg123(mp3);
    ASSERT_FALSE(ref.empty());
    SourceHandle src = LWaveFile::OpenSource(out);
    ASSERT_FALSE(src->IsError());
    ASSERT_EQ(src->GetChannels(), c.iChannels);
    std::vector<int32_t> ours = ReadToEnd(*src);
    EXPECT_EQ(ours.size(), ref.size());
    Match m = Compare(ours, ref, c.iChannels);
    EXPECT_LE(m.iMaxDiff, 1);
    EXPECT_GT(m.dPsnr, 90.0);
}

INSTANTIATE_TEST_SUITE_P(Peers, ACMMp3PeerFiles,
    ::testing::Values(FileCase { "lame_cbr_info", 2, 44100, { "-b", "128" } },
        FileCase { "lame_vbr_xing", 2, 48000, { "-V", "2" } },
        FileCase { "lame_mpeg25_8000", 1, 8000, { "-b", "16" } }),
    [](const auto& info) { return std::string(info.param.szName); });

// Feeds the stream chunk bytes at a time (unused bytes handed in again, as
// a caller must) with cbRoom bytes of room per call, then END until dry.
std::vector<int16_t> ConvertInChunks(
    const std::vector<uint8_t>& bytes, size_t chunk, uint32_t cbRoom, uint32_t fdw)
{
    LWaveFormat pcm = LWaveFormat::Pcm(2, 44100, 16), mp3 = pcm;
    mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.wfx.nBlockAlign = 1;
    mp3.wfx.wBitsPerSample = 0;
    HACMSTREAM has = nullptr;
    std::vector<int16_t> out;
    if (acmStreamOpen(&has, nullptr, &mp3, &pcm, nullptr, 0, 0, 0) != MMSYSERR_NOERROR)
        return out;
    std::vector<uint8_t> src(bytes.size() + 1), dst(cbRoom);
    ACMSTREAMHEADER ash;
    ash.pbSrc = src.data();
    ash.cbSrcLength = uint32_t(src.size());
    ash.pbDst = dst.data();
    ash.cbDstLength = cbRoom;
    EXPECT_EQ(acmStreamPrepareHeader(has, &ash, 0), MMSYSERR_NOERROR);
    size_t fed = 0, held = 0;
    for (int guard = 0; guard < 10000000; ++guard) {
        size_t add = std::min(chunk, bytes.size() - fed);
        std::copy_n(bytes.begin() + long(fed), add, src.begin() + long(held));
        fed += add;
        held += add;
        bool bEnd = fed == bytes.size() && add == 0;
        ash.cbSrcLength = uint32_t(held);
        EXPECT_EQ(
            acmStreamConvert(has, &ash, bEnd ? ACM_STREAMCONVERTF_END : fdw), MMSYSERR_NOERROR);
        uint32_t cbBound = 0;
        acmStreamSize(has, uint32_t(held), &cbBound, ACM_STREAMSIZEF_SOURCE);
        EXPECT_LE(ash.cbDstLengthUsed, cbBound);
        for (uint32_t i = 0; i + 1 < ash.cbDstLengthUsed; i += 2)
            out.push_back(int16_t(uint16_t(dst[i] | dst[i + 1] << 8)));
        std::copy(src.begin() + ash.cbSrcLengthUsed, src.begin() + long(held), src.begin());
        held -= ash.cbSrcLengthUsed;
        if (bEnd && ash.cbDstLengthUsed == 0)
            break;
    }
    acmStreamUnprepareHeader(has, &ash, 0);
    acmStreamClose(has, 0);
    return out;
}

// Any chunking, any room, with or without BLOCKALIGN gives the same PCM within
// the SOURCE size; junk and false syncs before and between frames cost no audio.
TEST(ACMMp3Wave, ChunkingRoomAndJunkDoNotChangeTheOutput)
{
    REQUIRE_PEER("lame");
    REQUIRE_PEER("mpg123");
    TempDir dir;
    std::string in = dir.File("s.wav"), mp3 = dir.File("s.mp3");
    ASSERT_TRUE(MakeWav(in, 88200, 2, 44100, true) && Lame({ "-V", "4" }, in, mp3));
    const std::vector<uint8_t> bytes = ReadAll(mp3);
    const std::vector<int16_t> ref = Mpg123(mp3);
    ASSERT_FALSE(ref.empty());
    const uint32_t cbFrame = 1152 * 4;
    struct Way {
        size_t chunk;
        uint32_t cbRoom;
        uint32_t fdw;
    };
    for (const Way& w : { Way { 1 << 20, 1 << 24, ACM_STREAMCONVERTF_BLOCKALIGN },
             Way { 1, cbFrame, ACM_STREAMCONVERTF_BLOCKALIGN }, Way { 333, cbFrame + 100, 0 },
             Way { 5000, cbFrame * 2 - 1, ACM_STREAMCONVERTF_BLOCKALIGN },
             Way { 97, 8192 * 4, ACM_STREAMCONVERTF_BLOCKALIGN } }) {
        std::vector<int16_t> out = ConvertInChunks(bytes, w.chunk, w.cbRoom, w.fdw);
        ASSERT_EQ(out.size(), ref.size()) << "chunk " << w.chunk << " room " << w.cbRoom;
        int iMax = 0;
        for (size_t i = 0; i < out.size(); ++i)
            iMax = std::max(iMax, std::abs(out[i] - ref[i]));
        EXPECT_LE(iMax, 1) << "chunk " << w.chunk << " room " << w.cbRoom;
    }
    // A 44.1 kHz stereo header with nothing after it where its length ends,
    // before the stream and between two frames in the middle.
    const std::vector<uint8_t> junk = { 0x00, 0xFF, 0xFB, 0x90, 0x44, 0x00, 0xFF, 0xFF, 0x12 };
    std::vector<uint8_t> dirty(junk);
    dirty.insert(dirty.end(), bytes.begin(), bytes.end());
    size_t at = dirty.size() / 2;
    while (at + 4 < dirty.size() && !(dirty[at] == 0xFF && (dirty[at + 1] & 0xE0) == 0xE0))
        ++at;
    dirty.insert(dirty.begin() + long(at), junk.begin(), junk.end());
    dirty.insert(dirty.begin() + long(at), 700, 0x00);
    EXPECT_EQ(ConvertInChunks(dirty, 4096, 1 << 24, 0), ConvertInChunks(bytes, 4096, 1 << 24, 0));
}

// With a byte rate (CBR) a seek resyncs near its byte: after three frames the
// samples are a straight read's, within a frame. Without one it is exact.
TEST(ACMMp3Wave, SeekMatchesStraightRead)
{
    REQUIRE_PEER("ffmpeg");
    TempDir dir;
    std::string in = dir.File("in.wav"), out = dir.File("out.wav");
    ASSERT_TRUE(MakeWav(in, 44100 * 4, 2, 44100));
    for (bool bExact : { false, true }) {
        ASSERT_TRUE(FfmpegMp3(in, out, { bExact ? "-q:a" : "-b:a", bExact ? "4" : "128k" }));
        ASSERT_EQ(Le32(ReadAll(out), 28) == 0, bExact) << "byte rate";
        SourceHandle src = LWaveFile::OpenSource(out);
        ASSERT_FALSE(src->IsError());
        std::vector<int32_t> straight = ReadToEnd(*src);
        const int32_t nFrames = int32_t(straight.size() / 2);
        const int32_t kWarm = bExact ? 0 : 3 * 1152, kSlack = bExact ? 0 : 1152;
        std::vector<int32_t> block(size_t(kBlockFrames) * 2);
        const std::vector<int32_t> at = bExact
            ? std::vector<int32_t> { 1, 1000, 44100, 100003, nFrames - 100, nFrames + 5000 }
            : std::vector<int32_t> { 1, 1000, 44100, 100003, 150000 };
        for (int32_t iAt : at) {
            src->Seek(iAt);
            EXPECT_EQ(src->GetPosition(), iAt);
            src->Read(block.data(), kBlockFrames);
            bool bFound = false;
            for (int32_t shift = -kSlack; shift <= kSlack && !bFound; ++shift) {
                int32_t from = iAt + kWarm + shift;
                int32_t n = std::max(0, std::min(kBlockFrames - kWarm, nFrames - from));
                bFound = from >= 0
                    && std::equal(block.begin() + kWarm * 2, block.begin() + (kWarm + n) * 2,
                        straight.begin() + std::min(from, nFrames) * 2);
            }
            EXPECT_TRUE(bFound) << "seek to " << iAt << (bExact ? " exact" : "");
            if (bExact) {
                EXPECT_TRUE(
                    std::all_of(block.begin() + std::clamp(nFrames - iAt, 0, kBlockFrames) * 2,
                        block.end(), [](int32_t v) { return v == 0; }));
            }
        }
    }
}

// Decoding only: no encode formats offered, PCM -> MP3 refused, the tag
// named for the chooser.
TEST(ACMMp3Wave, DecodeOnlyDriver)
{
    LWaveFormat mp3 = LWaveFormat::Pcm(1, 22050, 16);
    mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    LWaveFormat pcm = LWaveFormat::Pcm(1, 22050, 16);
    EXPECT_EQ(acmStreamOpen(nullptr, nullptr, &mp3, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_QUERY),
        MMSYSERR_NOERROR);
    EXPECT_EQ(acmStreamOpen(nullptr, nullptr, &pcm, &mp3, nullptr, 0, 0, ACM_STREAMOPENF_QUERY),
        ACMERR_NOTPOSSIBLE);
    LWaveFormat odd = mp3;
    odd.wfx.nSamplesPerSec = 44000;
    LWaveFormat oddPcm = LWaveFormat::Pcm(1, 44000, 16);
    EXPECT_EQ(acmStreamOpen(nullptr, nullptr, &odd, &oddPcm, nullptr, 0, 0, ACM_STREAMOPENF_QUERY),
        ACMERR_NOTPOSSIBLE);
    LWaveFormat sug;
    ASSERT_EQ(acmFormatSuggest(nullptr, &mp3, &sug, 1024, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(sug, pcm);
    sug.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    EXPECT_EQ(acmFormatSuggest(nullptr, &pcm, &sug, 1024, ACM_FORMATSUGGESTF_WFORMATTAG),
        ACMERR_NOTPOSSIBLE);
    int nTags = 0;
    ACMFORMATTAGDETAILS d;
    acmFormatTagEnum(
        nullptr, &d,
        [&](HACMDRIVERID, const ACMFORMATTAGDETAILS* p, uint32_t) {
            if (p->dwFormatTag == WAVE_FORMAT_MPEGLAYER3) {
                ++nTags;
                EXPECT_EQ(p->strFormatTag, "MPEG Layer-3");
                EXPECT_EQ(p->cStandardFormats, 0u);
            }
            return true;
        },
        0);
    EXPECT_EQ(nTags, 1);
    for (const LAcmFormatChoice& c : LAcmFormatList(0))
        EXPECT_NE(c.wfx.wfx.wFormatTag, WAVE_FORMAT_MPEGLAYER3);
    // Less room than one frame's PCM is refused (the SOURCE bound: the chunking test).
    HACMSTREAM has = nullptr;
    ASSERT_EQ(acmStreamOpen(&has, nullptr, &mp3, &pcm, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    uint32_t cb = 0;
    EXPECT_EQ(
        acmStreamSize(has, 576 * 2 - 1, &cb, ACM_STREAMSIZEF_DESTINATION), ACMERR_NOTPOSSIBLE);
    acmStreamClose(has, 0);
}

} // namespace
