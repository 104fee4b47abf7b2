#include "audio/LWaveFile.h"
#include "audio/LWaveFileFormat.h"
#include "audio/PeerTestUtil.h"
#include "platform/acm/LAcm.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

using namespace TestSupport;
using namespace PeerTest;

namespace {

// Every frame up to the reader's end, as 16-bit values (the internal
// format is exactly 16 times the decoded 16-bit PCM).
std::vector<int16_t> ReadToEnd16(LSoundSourceBase& src)
{
    std::vector<int16_t> out;
    for (int32_t x : ReadToEnd(src)) {
        EXPECT_EQ(x % 16, 0);
        out.push_back(int16_t(x / 16));
    }
    return out;
}

struct Diff {
    int iMax = 0;
    double dSnr = 0; // dB of a against the difference
};

Diff Compare16(const std::vector<int16_t>& a, const std::vector<int16_t>& b)
{
    Diff d;
    double dSig = 0, dErr = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        int e = std::abs(int(a[i]) - int(b[i]));
        d.iMax = std::max(d.iMax, e);
        dSig += double(a[i]) * a[i];
        dErr += double(e) * e;
    }
    d.dSnr = dErr == 0 ? 999 : 10 * std::log10(dSig / dErr);
    return d;
}

struct PeerCase {
    const char* szName;
    std::vector<std::string> codecArgs; // ffmpeg output options
    const char* szReference; // "ffmpeg" or "sox"
    uint16_t wTag;
    int iMaxDiff; // largest difference allowed against the reference decode
};

class ACMWavePeerFiles : public ::testing::TestWithParam<PeerCase> { };

// Files made by ffmpeg from a full-resolution float signal read as the
// peers decode them; RF64 with ds64 first, then fmt, LIST and data with
// 0xFFFFFFFF sizes.
TEST_P(ACMWavePeerFiles, DecodeAsPeer)
{
    REQUIRE_PEER("ffmpeg");
    REQUIRE_PEER("sox");
    const PeerCase& pc = GetParam();
    TempDir dir;
    std::string strSrc = dir.File("src.wav");
    std::string strIn = dir.File("in.wav");
    ASSERT_EQ(TestSupport::Run({ "sox", "-n", "-r", "8000", "-c", "2", "-e", "floating-point", "-b",
                  "32", strSrc, "synth", "2.3", "sine", "300-2500", "sine", "710", "vol", "0.7" }),
        0);
    std::vector<std::string> args = { "ffmpeg", "-v", "error", "-y", "-i", strSrc };
    args.insert(args.end(), pc.codecArgs.begin(), pc.codecArgs.end());
    args.push_back(strIn);
    ASSERT_EQ(TestSupport::Run(args), 0);
    std::vector<uint8_t> bytes = ReadAll(strIn);
    const std::string strFmt = "fmt ", strKind(bytes.begin(), bytes.begin() + 4);
    size_t iFmt
        = std::search(bytes.begin(), bytes.end(), strFmt.begin(), strFmt.end()) - bytes.begin();
    ASSERT_LT(iFmt + 10, bytes.size());
    EXPECT_EQ(bytes[iFmt + 8] | (bytes[iFmt + 9] << 8), pc.wTag);
    EXPECT_EQ(strKind, std::string(pc.szName) == "rf64" ? "RF64" : "RIFF");

    SourceHandle src = LWaveFile::OpenSource(strIn);
    ASSERT_FALSE(src->IsError());
    std::vector<int16_t> ours = ReadToEnd16(*src);
    std::vector<int16_t> ref = PeerDecode(pc.szReference, strIn);
    ASSERT_GT(ref.size(), 8000u);
    ASSERT_EQ(ours.size(), ref.size());
    EXPECT_LE(Compare16(ref, ours).iMax, pc.iMaxDiff) << pc.szReference;
}

INSTANTIATE_TEST_SUITE_P(Codecs, ACMWavePeerFiles,
    ::testing::Values(
        // sox decodes IMA ADPCM with the reference's shift-and-add steps, as
        // we do; ffmpeg's multiplying form drifts from it within a block.
        PeerCase { "u8_mono", { "-ac", "1", "-c:a", "pcm_u8" }, "sox", 0x01, 0 },
        PeerCase { "rf64", { "-c:a", "pcm_s16le", "-rf64", "always" }, "ffmpeg", 0x01, 0 },
        PeerCase { "ima", { "-c:a", "adpcm_ima_wav" }, "sox", 0x11, 0 },
        PeerCase { "ms", { "-c:a", "adpcm_ms" }, "ffmpeg", 0x02, 0 },
        PeerCase { "alaw", { "-c:a", "pcm_alaw" }, "ffmpeg", 0x06, 0 },
        PeerCase { "f32", { "-c:a", "pcm_f32le" }, "ffmpeg", 0xFFFE, 0 },
        PeerCase { "s24", { "-c:a", "pcm_s24le" }, "sox", 0xFFFE, 0 },
        PeerCase { "s32", { "-c:a", "pcm_s32le" }, "sox", 0xFFFE, 0 },
        PeerCase { "gsm", { "-ac", "1", "-c:a", "libgsm_ms" }, "ffmpeg", 0x31, 0 },
        PeerCase { "mp3_cbr", { "-ar", "44100", "-c:a", "libmp3lame", "-b:a", "128k" }, "ffmpeg",
            0x55, 1 },
        PeerCase { "mp3_vbr_mono",
            { "-ac", "1", "-ar", "22050", "-c:a", "libmp3lame", "-q:a", "4" }, "ffmpeg", 0x55, 1 }),
    [](const auto& info) { return std::string(info.param.szName); });

// A standard format of the codec manager with the given tag.
LWaveFormat StandardFormat(uint16_t wTag, uint16_t nChannels, uint32_t uRate)
{
    LWaveFormat found;
    ACMFORMATDETAILS d;
    d.dwFormatTag = wTag;
    d.wfx.wfx.nChannels = nChannels;
    d.wfx.wfx.nSamplesPerSec = uRate;
    acmFormatEnum(
        nullptr, &d,
        [&](HACMDRIVERID, const ACMFORMATDETAILS* p, uint32_t) {
            found = p->wfx;
            return false;
        },
        ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NCHANNELS | ACM_FORMATENUMF_NSAMPLESPERSEC);
    return found;
}

struct WriteCase {
    const char* szName;
    uint16_t wTag;
    uint16_t nChannels;
    uint32_t uRate;
    double dMinSnr; // dB of the peer's decode against the input
    const char* szReference; // the peer whose decode ours equals
};

class ACMFileWrite : public ::testing::TestWithParam<WriteCase> { };

// What the writer makes decodes in both peers to the input, padded only to
// the codec's block.
TEST_P(ACMFileWrite, PeersDecodeIt)
{
    REQUIRE_PEER("ffmpeg");
    REQUIRE_PEER("sox");
    const WriteCase& wc = GetParam();
    LWaveFormat wf = StandardFormat(wc.wTag, wc.nChannels, wc.uRate);
    ASSERT_EQ(wf.wfx.wFormatTag, wc.wTag);
    ASSERT_TRUE(LWaveFileFormat::TestSupportedRecord(wf));
    TempDir dir;
    std::string strPath = dir.File("out.wav");
    const int32_t iFrames = 3 * 8192 + 1234;
    std::vector<int16_t> sig = MakeSignal(iFrames, wc.nChannels, int32_t(wc.uRate));
    {
        SinkHandle sink = LWaveFile::OpenSink(strPath, LWaveHeader::FromFormat(wf));
        ASSERT_TRUE(sink);
        ASSERT_FALSE(sink->IsError());
        std::vector<int32_t> in = ToInternal(sig);
        for (int32_t i = 0; i < iFrames; i += 5000)
            sink->Write(in.data() + size_t(i) * wc.nChannels, std::min(5000, iFrames - i));
        EXPECT_EQ(sink->GetFramesWritten(), iFrames);
    }
    // The sizes in the header are the true ones: data runs to the end.
    std::vector<uint8_t> bytes = ReadAll(strPath);
    size_t uStart = 0;
    EXPECT_EQ(uStart + DataChunk(bytes, &uStart).size(), bytes.size());
    EXPECT_EQ(Le32(bytes, 4), bytes.size() - 8);

    uint32_t nBlockFrames = wf.ExtraU16(0) ? wf.ExtraU16(0) : 1;
    for (const char* szPeer : { "ffmpeg", "sox" }) {
        std::vector<int16_t> dec = PeerDecode(szPeer, strPath);
        size_t nFrames = dec.size() / wc.nChannels;
        EXPECT_GE(nFrames, size_t(iFrames)) << szPeer;
        EXPECT_LT(nFrames, size_t(iFrames) + nBlockFrames) << szPeer;
        EXPECT_GE(Compare16(sig, dec).dSnr, wc.dMinSnr) << szPeer;
    }
    // And we read back what the peers read.
    SourceHandle src = LWaveFile::OpenSource(strPath);
    std::vector<int16_t> ours = ReadToEnd16(*src);
    std::vector<int16_t> ref = PeerDecode(wc.szReference, strPath);
    EXPECT_EQ(ours.size(), ref.size());
    EXPECT_EQ(Compare16(ref, ours).iMax, 0) << wc.szReference;
}

INSTANTIATE_TEST_SUITE_P(Codecs, ACMFileWrite,
    ::testing::Values(WriteCase { "ima_mono", 0x11, 1, 22050, 20, "sox" },
        WriteCase { "ima_stereo", 0x11, 2, 11025, 20, "sox" },
        WriteCase { "ms_mono", 0x02, 1, 8000, 20, "ffmpeg" },
        WriteCase { "ms_stereo", 0x02, 2, 44100, 20, "ffmpeg" },
        WriteCase { "gsm", 0x31, 1, 8000, 8, "ffmpeg" },
        WriteCase { "alaw", 0x06, 2, 8000, 30, "ffmpeg" },
        WriteCase { "mulaw", 0x07, 1, 8000, 30, "ffmpeg" }),
    [](const auto& info) { return std::string(info.param.szName); });

// A file ffmpeg made with the codec from 22050 Hz PCM, its straight decode and its path.
struct FfmpegFile {
    TempDir dir;
    std::string strPath;
    std::vector<int16_t> straight;
};

bool MakeFfmpegWav(FfmpegFile& f, std::vector<std::string> codec, int iChannels)
{
    f.strPath = f.dir.File("a.wav");
    std::string strSrc = f.dir.File("s.wav");
    WriteAll(strSrc, PcmWav(MakeSignal(50000, iChannels, 22050), iChannels, 22050));
    std::vector<std::string> args = { "ffmpeg", "-v", "error", "-y", "-i", strSrc, "-c:a" };
    args.insert(args.end(), codec.begin(), codec.end());
    args.push_back(f.strPath);
    if (Run(args) != 0)
        return false;
    SourceHandle src = LWaveFile::OpenSource(f.strPath);
    f.straight = ReadToEnd16(*src);
    return !src->IsError();
}

// ADPCM made by ffmpeg: the length known at opening is the true one (ffmpeg's),
// and a seek anywhere, block edges included, reads as a straight read.
TEST(LSRCACMWave, LengthAndSeekEqualStraightRead)
{
    REQUIRE_PEER("ffmpeg");
    for (const char* szCodec : { "adpcm_ima_wav", "adpcm_ms" })
        for (int nCh : { 1, 2 }) {
            SCOPED_TRACE(::testing::Message() << szCodec << " channels " << nCh);
            FfmpegFile f;
            ASSERT_TRUE(MakeFfmpegWav(f, { szCodec }, nCh));
            const int32_t iLen = int32_t(f.straight.size()) / nCh;
            SourceHandle src = LWaveFile::OpenSource(f.strPath);
            EXPECT_EQ(src->GetLength(), int32_t(PeerDecode("ffmpeg", f.strPath).size()) / nCh);
            EXPECT_EQ(src->GetLength(), iLen);
            std::vector<int32_t> buf(size_t(nCh) * 3000);
            src->Read(buf.data(), 777);
            EXPECT_EQ(src->GetLength(), iLen);
            for (int32_t iAt : { 1, 1016, 1017, 1018, 20000, 33333, iLen - 100, iLen - 10, -40 }) {
                src->Seek(iAt);
                EXPECT_EQ(src->GetPosition(), iAt);
                src->Read(buf.data(), 3000);
                for (int32_t i = 0; i < 3000 * nCh; ++i) {
                    int32_t iFrame = iAt + i / nCh;
                    int32_t iWant
                        = iFrame < 0 || iFrame >= iLen ? 0 : f.straight[size_t(iAt * nCh + i)] * 16;
                    ASSERT_EQ(buf[size_t(i)], iWant) << "seek " << iAt << " frame " << iFrame;
                }
            }
            // Beyond the data: silence, and the end stays where the data ends.
            src->Seek(iLen + 50000);
            src->Read(buf.data(), 100);
            EXPECT_EQ(buf[0], 0);
            EXPECT_EQ(src->GetLength(), iLen);
        }
}

// A file cut inside a block or an MP3 frame ends early: the whole ones decode
// as in the whole file, the cut one is dropped; less than one gives nothing.
TEST(LSRCACMWave, TruncatedFileEndsEarly)
{
    REQUIRE_PEER("ffmpeg");
    struct Case {
        std::vector<std::string> codec;
        uint32_t cbUnit; // block or frame bytes (MP3: 417 or 418 at 22050 Hz, 128 kbit/s)
        size_t nUnitFrames;
    };
    for (const Case& c : { Case { { "adpcm_ima_wav" }, 1024, 2041 },
             Case { { "libmp3lame", "-b:a", "128k" }, 418, 576 } }) {
        SCOPED_TRACE(c.codec[0]);
        FfmpegFile f;
        ASSERT_TRUE(MakeFfmpegWav(f, c.codec, 1));
        std::vector<uint8_t> bytes = ReadAll(f.strPath);
        size_t iData = 0;
        ASSERT_GT(DataChunk(bytes, &iData).size(), 11u * c.cbUnit);
        if (c.cbUnit == 1024) {
            ASSERT_EQ(bytes[32] | (bytes[33] << 8), 1024) << "block align";
        }
        std::string strCut = f.dir.File("cut.wav");
        bytes.resize(iData + 10 * c.cbUnit + c.cbUnit / 2); // 10 whole and half of the next
        WriteAll(strCut, bytes);
        SourceHandle src = LWaveFile::OpenSource(strCut);
        ASSERT_FALSE(src->IsError());
        std::vector<int16_t> got = ReadToEnd16(*src);
        EXPECT_EQ(got.size(), 10 * c.nUnitFrames);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), f.straight.begin()));
        bytes.resize(iData + c.cbUnit / 2);
        WriteAll(strCut, bytes);
        src = LWaveFile::OpenSource(strCut);
        EXPECT_TRUE(ReadToEnd16(*src).empty());
    }
}

TEST(LSRCACMWave, FileStillBeingWritten)
{
    LWaveFormat wf = StandardFormat(0x11, 1, 8000);
    TempDir dir;
    std::string strPath = dir.File("rec.wav");
    SinkHandle sink = LWaveFile::OpenSink(strPath, LWaveHeader::FromFormat(wf));
    std::vector<int32_t> block(8192, 1600);
    sink->Write(block.data(), 8192);
    // 16 blocks of 505 frames are out; the rest waits in the writer.
    SourceHandle src = LWaveFile::OpenSource(strPath);
    ASSERT_FALSE(src->IsError());
    std::vector<int16_t> got = ReadToEnd16(*src);
    EXPECT_EQ(got.size(), 16u * 505u);
    sink = SinkHandle();
    src = LWaveFile::OpenSource(strPath);
    EXPECT_EQ(ReadToEnd16(*src).size(), 17u * 505u);
}

TEST(LSRCACMWave, NoCodecForTheFormat)
{
    TempDir dir;
    std::vector<uint8_t> v = PcmWav(std::vector<int16_t>(100, 0), 1, 8000);
    v[20] = 0x34; // format tag 0x1234
    v[21] = 0x12;
    WriteAll(dir.File("x.wav"), v);
    SourceHandle src = LWaveFile::OpenSource(dir.File("x.wav"));
    EXPECT_TRUE(src->IsError());
    std::vector<int32_t> buf(10, 7);
    src->Read(buf.data(), 10);
    EXPECT_EQ(buf[9], 0);

    LWaveHeader h;
    h.wFormatTag = 0x1234;
    EXPECT_FALSE(LWaveFileFormat::TestSupportedRecord(h.ToFormat()));
    EXPECT_TRUE(LWaveFile::OpenSink(dir.File("y.wav"), h)->IsError());
    LWaveFormat ima = StandardFormat(0x11, 2, 44100);
    EXPECT_TRUE(LWaveFileFormat::TestSupportedRecord(ima));
    ima.wfx.nBlockAlign = 1000; // not a whole number of 8-sample groups
    EXPECT_FALSE(LWaveFileFormat::TestSupportedRecord(ima));
}

} // namespace
