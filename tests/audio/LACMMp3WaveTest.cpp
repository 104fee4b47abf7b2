#include "audio/LWaveFile.h"
#include "audio/MP3TestUtil.h"
#include "platform/acm/LAcm.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

uint32_t Le32(const std::vector<uint8_t>& v, size_t o)
{
    return uint32_t(v[o] | (v[o + 1] << 8) | (v[o + 2] << 16) | (uint32_t(v[o + 3]) << 24));
}

// The bytes of a WAV file's data chunk, and where they start.
std::vector<uint8_t> DataChunk(const std::vector<uint8_t>& wav, size_t* pStart = nullptr)
{
    for (size_t o = 12; o + 8 <= wav.size(); o += 8 + ((Le32(wav, o + 4) + 1) & ~1u)) {
        if (std::equal(wav.begin() + long(o), wav.begin() + long(o) + 4, "data")) {
            size_t n = std::min<size_t>(Le32(wav, o + 4), wav.size() - o - 8);
            if (pStart)
                *pStart = o + 8;
            return { wav.begin() + long(o) + 8, wav.begin() + long(o + 8 + n) };
        }
    }
    return {};
}

// A WAV of tag 0x55 around an MP3 stream, with no extra format bytes.
std::vector<uint8_t> Mp3Wav(const std::vector<uint8_t>& mp3, int iChannels, uint32_t uRate)
{
    std::vector<uint8_t> v;
    PutTag(v, "RIFF");
    Put32(v, uint32_t(38 + mp3.size()));
    PutTag(v, "WAVE");
    PutTag(v, "fmt ");
    Put32(v, 18);
    Put16(v, WAVE_FORMAT_MPEGLAYER3);
    Put16(v, uint32_t(iChannels));
    Put32(v, uRate);
    Put32(v, 16000);
    Put16(v, 1);
    Put16(v, 0);
    Put16(v, 0);
    PutTag(v, "data");
    Put32(v, uint32_t(mp3.size()));
    v.insert(v.end(), mp3.begin(), mp3.end());
    return v;
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

// Every frame up to the reader's end, in internal units.
std::vector<int32_t> ReadToEnd(LSoundSourceBase& src)
{
    size_t nCh = size_t(src.GetChannels());
    std::vector<int32_t> block(size_t(kBlockFrames) * nCh), out;
    while (src.GetPosition() < src.GetLength()) {
        src.Read(block.data(), kBlockFrames);
        out.insert(out.end(), block.begin(), block.end());
    }
    out.resize(size_t(src.GetLength()) * nCh);
    return out;
}

void Report(const char* szName, const std::vector<int32_t>& ours, const std::vector<int16_t>& ref,
    int iChannels, int iMaxDiff)
{
    MP3Test::Match m = MP3Test::Compare(ours, ref, iChannels);
    // Signal against difference, and how many samples differ at all.
    double dSig = 0, dErr = 0;
    size_t nDiffer = 0, n = std::min(ours.size(), ref.size());
    for (size_t i = 0; i < n; ++i) {
        double d = ours[i] / 16 - ref[i];
        dSig += double(ref[i]) * ref[i];
        dErr += d * d;
        nDiffer += d != 0;
    }
    std::printf("[ %s ] frames ours %zu peer %zu, max diff %d, PSNR %.1f dB, SNR %.1f dB, "
                "%.2f%% of samples differ\n",
        szName, ours.size() / size_t(iChannels), ref.size() / size_t(iChannels), m.iMaxDiff,
        m.dPsnr, dErr > 0 ? 10 * std::log10(dSig / dErr) : 999.0,
        n ? 100.0 * double(nDiffer) / double(n) : 0.0);
    EXPECT_LE(m.iMaxDiff, iMaxDiff);
    EXPECT_GT(m.dPsnr, 90.0);
}

struct FfmpegCase {
    const char* szName;
    int iChannels;
    int32_t iRate;
    std::vector<std::string> codec; // ffmpeg output options
};

class ACMMp3FfmpegFiles : public ::testing::TestWithParam<FfmpegCase> { };

// Files ffmpeg writes, constant and variable bit rate (block align 1152 or
// 576, no byte rate for VBR), decode as the peer decodes their stream.
TEST_P(ACMMp3FfmpegFiles, DecodeAsPeer)
{
    REQUIRE_PEER("ffmpeg");
    REQUIRE_PEER("mpg123");
    const FfmpegCase& c = GetParam();
    TempDir dir;
    std::string in = dir.File("in.wav"), out = dir.File("out.wav"), mp3 = dir.File("out.mp3");
    ASSERT_TRUE(MP3Test::MakeWav(in, c.iRate * 3, c.iChannels, c.iRate, true));
    ASSERT_TRUE(FfmpegMp3(in, out, c.codec));
    std::vector<uint8_t> wav = ReadAll(out);
    ASSERT_GT(wav.size(), 40u);
    ASSERT_EQ(wav[20] | (wav[21] << 8), WAVE_FORMAT_MPEGLAYER3);
    ASSERT_TRUE(WriteAll(mp3, DataChunk(wav)));
    std::vector<int16_t> ref = MP3Test::Mpg123(mp3);
    ASSERT_FALSE(ref.empty());

    SourceHandle src = LWaveFile::OpenSource(out);
    ASSERT_FALSE(src->IsError());
    ASSERT_EQ(src->GetChannels(), c.iChannels);
    std::vector<int32_t> ours = ReadToEnd(*src);
    EXPECT_EQ(ours.size(), ref.size());
    Report(c.szName, ours, ref, c.iChannels, 1);
}

INSTANTIATE_TEST_SUITE_P(Ffmpeg, ACMMp3FfmpegFiles,
    ::testing::Values(FfmpegCase { "cbr_stereo_44100", 2, 44100, { "-b:a", "128k" } },
        FfmpegCase { "vbr_stereo_44100", 2, 44100, { "-q:a", "4" } },
        FfmpegCase { "cbr_mono_22050", 1, 22050, { "-b:a", "64k" } },
        FfmpegCase { "vbr_mono_22050", 1, 22050, { "-q:a", "4" } }),
    [](const auto& info) { return std::string(info.param.szName); });

// A stream whose first frame is the encoder's Info or Xing frame, in a header
// without the extra format bytes: the frame gives no audio, as with the peer.
TEST(ACMMp3Wave, InfoFrameSkippedAndNoExtraBytes)
{
    REQUIRE_PEER("lame");
    REQUIRE_PEER("mpg123");
    struct LameCase {
        const char* szName;
        int iChannels;
        int32_t iRate;
        std::vector<std::string> opts;
    };
    for (const LameCase& c : { LameCase { "lame_cbr_info", 2, 44100, { "-b", "128" } },
             LameCase { "lame_vbr_xing", 2, 48000, { "-V", "2" } },
             LameCase { "lame_mpeg25_8000", 1, 8000, { "-b", "16" } } }) {
        TempDir dir;
        std::string in = dir.File("in.wav"), mp3 = dir.File("in.mp3"), out = dir.File("out.wav");
        ASSERT_TRUE(MP3Test::MakeWav(in, c.iRate * 2, c.iChannels, c.iRate));
        std::vector<std::string> opts = c.opts;
        opts.insert(opts.end(), { "--resample", std::to_string(c.iRate / 1000.0) });
        ASSERT_TRUE(MP3Test::Lame(opts, in, mp3));
        std::vector<uint8_t> stream = ReadAll(mp3);
        ASSERT_TRUE(WriteAll(out, Mp3Wav(stream, c.iChannels, uint32_t(c.iRate))));
        std::vector<int16_t> ref = MP3Test::Mpg123(mp3);
        SourceHandle src = LWaveFile::OpenSource(out);
        ASSERT_FALSE(src->IsError()) << c.szName;
        std::vector<int32_t> ours = ReadToEnd(*src);
        EXPECT_EQ(ours.size(), ref.size()) << c.szName;
        Report(c.szName, ours, ref, c.iChannels, 1);
    }
}

// An MP3 stream for the manager-level tests: 2 s of 44.1 kHz stereo, VBR.
struct Stream {
    std::vector<uint8_t> bytes;
    std::vector<int16_t> ref;
    LWaveFormat format;
};

bool MakeStream(const TempDir& dir, Stream& s)
{
    std::string in = dir.File("s.wav"), mp3 = dir.File("s.mp3");
    if (!MP3Test::MakeWav(in, 88200, 2, 44100, true) || !MP3Test::Lame({ "-V", "4" }, in, mp3))
        return false;
    s.bytes = ReadAll(mp3);
    s.ref = MP3Test::Mpg123(mp3);
    s.format = LWaveFormat::Pcm(2, 44100, 16);
    s.format.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    s.format.wfx.nBlockAlign = 1;
    s.format.wfx.wBitsPerSample = 0;
    return !s.ref.empty();
}

// Feeds the stream chunk bytes at a time (unused bytes handed in again, as
// a caller must) with cbRoom bytes of room per call, then END until dry.
std::vector<int16_t> ConvertInChunks(
    const Stream& s, const std::vector<uint8_t>& bytes, size_t chunk, uint32_t cbRoom, uint32_t fdw)
{
    LWaveFormat pcm = LWaveFormat::Pcm(2, 44100, 16);
    HACMSTREAM has = nullptr;
    std::vector<int16_t> out;
    if (acmStreamOpen(&has, nullptr, &s.format, &pcm, nullptr, 0, 0, 0) != MMSYSERR_NOERROR)
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

// The manager-level contract: any chunking, any room, with or without
// BLOCKALIGN, gives the same PCM; what one call writes stays within the
// SOURCE size for the bytes it was given.
TEST(ACMMp3Wave, ChunkingAndRoomDoNotChangeTheOutput)
{
    REQUIRE_PEER("lame");
    REQUIRE_PEER("mpg123");
    TempDir dir;
    Stream s;
    ASSERT_TRUE(MakeStream(dir, s));
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
        std::vector<int16_t> out = ConvertInChunks(s, s.bytes, w.chunk, w.cbRoom, w.fdw);
        ASSERT_EQ(out.size(), s.ref.size()) << "chunk " << w.chunk << " room " << w.cbRoom;
        int iMax = 0;
        for (size_t i = 0; i < out.size(); ++i)
            iMax = std::max(iMax, std::abs(out[i] - s.ref[i]));
        EXPECT_LE(iMax, 1) << "chunk " << w.chunk << " room " << w.cbRoom;
    }
}

// Leading junk, a false sync pattern and junk between frames cost no audio:
// the frames after them decode as in the clean stream.
TEST(ACMMp3Wave, JunkAndFalseSyncsArePassedOver)
{
    REQUIRE_PEER("lame");
    REQUIRE_PEER("mpg123");
    TempDir dir;
    Stream s;
    ASSERT_TRUE(MakeStream(dir, s));
    std::vector<int16_t> clean = ConvertInChunks(s, s.bytes, 4096, 1 << 24, 0);
    ASSERT_EQ(clean.size(), s.ref.size());
    // A 44.1 kHz stereo header with nothing after it where its length ends.
    const std::vector<uint8_t> junk = { 0x00, 0xFF, 0xFB, 0x90, 0x44, 0x00, 0xFF, 0xFF, 0x12 };
    std::vector<uint8_t> dirty(junk);
    dirty.insert(dirty.end(), s.bytes.begin(), s.bytes.end());
    // Between two frames in the middle: find a frame start by its header.
    size_t at = dirty.size() / 2;
    while (at + 4 < dirty.size() && !(dirty[at] == 0xFF && (dirty[at + 1] & 0xE0) == 0xE0))
        ++at;
    dirty.insert(dirty.begin() + long(at), junk.begin(), junk.end());
    dirty.insert(dirty.begin() + long(at), 700, 0x00);
    std::vector<int16_t> out = ConvertInChunks(s, dirty, 4096, 1 << 24, 0);
    EXPECT_EQ(out, clean);
}

// Seeking lands on the codec byte the average byte rate names (rounded down
// to the block align) and the stream resyncs at the next frame; once the
// reservoir and the filter bank have refilled (three frames) the samples are
// those of a straight read, less than a frame away from where asked.
TEST(ACMMp3Wave, SeekMatchesStraightReadAfterResync)
{
    REQUIRE_PEER("ffmpeg");
    TempDir dir;
    std::string in = dir.File("in.wav"), out = dir.File("out.wav");
    ASSERT_TRUE(MP3Test::MakeWav(in, 44100 * 4, 2, 44100));
    ASSERT_TRUE(FfmpegMp3(in, out, { "-b:a", "128k" }));
    SourceHandle src = LWaveFile::OpenSource(out);
    ASSERT_FALSE(src->IsError());
    std::vector<int32_t> straight = ReadToEnd(*src);
    const long nFrames = long(straight.size() / 2);
    const int32_t kWarm = 3 * 1152;
    std::vector<int32_t> block(size_t(kBlockFrames) * 2);
    for (int32_t iAt : { 1, 1000, 44100, 100003, 150000 }) {
        src->Seek(iAt);
        src->Read(block.data(), kBlockFrames);
        long found = -100000;
        for (long shift = -1152; shift <= 1152 && found == -100000; ++shift) {
            long from = iAt + kWarm + shift;
            long n = std::min<long>(kBlockFrames - kWarm, nFrames - from);
            if (from < 0 || n <= 0)
                continue;
            if (std::equal(block.begin() + kWarm * 2, block.begin() + (kWarm + n) * 2,
                    straight.begin() + from * 2))
                found = shift;
        }
        std::printf("[ seek %d ] samples are the straight read's %ld frames on\n", iAt, found);
        EXPECT_LE(std::labs(found), 1152) << "seek to " << iAt;
    }
}

// Without a byte rate in the header (ffmpeg's variable bit rate) no data
// offset can be computed: seeking decodes from the start and lands exactly.
TEST(ACMMp3Wave, SeekWithoutAByteRateIsExact)
{
    REQUIRE_PEER("ffmpeg");
    TempDir dir;
    std::string in = dir.File("in.wav"), out = dir.File("out.wav");
    ASSERT_TRUE(MP3Test::MakeWav(in, 44100 * 4, 2, 44100));
    ASSERT_TRUE(FfmpegMp3(in, out, { "-q:a", "4" }));
    std::vector<uint8_t> wav = ReadAll(out);
    ASSERT_GT(wav.size(), 40u);
    ASSERT_EQ(wav[28] | (wav[29] << 8) | (wav[30] << 16) | (wav[31] << 24), 0); // no byte rate
    SourceHandle src = LWaveFile::OpenSource(out);
    ASSERT_FALSE(src->IsError());
    std::vector<int32_t> straight = ReadToEnd(*src);
    const int32_t nFrames = int32_t(straight.size() / 2);
    ASSERT_GT(nFrames, 44100 * 4);
    std::vector<int32_t> block(size_t(kBlockFrames) * 2);
    for (int32_t iAt : { 1, 1000, 44100, 100003, nFrames - 100 }) {
        src->Seek(iAt);
        EXPECT_EQ(src->GetPosition(), iAt);
        src->Read(block.data(), kBlockFrames);
        const int32_t n = std::min(kBlockFrames, nFrames - iAt);
        EXPECT_TRUE(std::equal(block.begin(), block.begin() + n * 2, straight.begin() + iAt * 2))
            << "seek to " << iAt;
        // Past the end only silence.
        EXPECT_TRUE(
            std::all_of(block.begin() + n * 2, block.end(), [](int32_t v) { return v == 0; }));
    }
    src->Seek(nFrames + 5000);
    EXPECT_EQ(src->GetPosition(), nFrames + 5000);
    src->Read(block.data(), 16);
    EXPECT_TRUE(std::all_of(block.begin(), block.begin() + 32, [](int32_t v) { return v == 0; }));
}

// A file cut inside a frame ends early: the complete frames decode as in
// the whole file, the cut one is dropped.
TEST(ACMMp3Wave, TruncatedFileEndsEarly)
{
    REQUIRE_PEER("ffmpeg");
    TempDir dir;
    std::string in = dir.File("in.wav"), out = dir.File("out.wav"), cut = dir.File("cut.wav");
    ASSERT_TRUE(MP3Test::MakeWav(in, 44100 * 2, 2, 44100));
    ASSERT_TRUE(FfmpegMp3(in, out, { "-b:a", "128k" }));
    std::vector<uint8_t> wav = ReadAll(out);
    size_t iStart = 0;
    ASSERT_GT(DataChunk(wav, &iStart).size(), 20000u);
    const size_t cbKept = 10123; // 24 whole frames of 417 or 418 bytes and a part
    wav.resize(iStart + cbKept);
    ASSERT_TRUE(WriteAll(cut, wav));
    SourceHandle whole = LWaveFile::OpenSource(out);
    SourceHandle part = LWaveFile::OpenSource(cut);
    ASSERT_FALSE(part->IsError());
    std::vector<int32_t> a = ReadToEnd(*whole), b = ReadToEnd(*part);
    EXPECT_EQ(b.size(), size_t(24 * 1152 * 2));
    ASSERT_LE(b.size(), a.size());
    EXPECT_TRUE(std::equal(b.begin(), b.end(), a.begin()));
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
    // Sizes: room for the smallest frames (26 bytes at 8 kbit/s, 22050 Hz).
    HACMSTREAM has = nullptr;
    ASSERT_EQ(acmStreamOpen(&has, nullptr, &mp3, &pcm, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    uint32_t cb = 0;
    EXPECT_EQ(acmStreamSize(has, 260, &cb, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
    EXPECT_EQ(cb, 12u * 576 * 2);
    EXPECT_EQ(acmStreamSize(has, 8192 * 2, &cb, ACM_STREAMSIZEF_DESTINATION), MMSYSERR_NOERROR);
    EXPECT_EQ(cb, 14u * 26);
    EXPECT_EQ(
        acmStreamSize(has, 576 * 2 - 1, &cb, ACM_STREAMSIZEF_DESTINATION), ACMERR_NOTPOSSIBLE);
    acmStreamClose(has, 0);
}

} // namespace
