#include "audio/LAifFile.h"
#include "audio/LAuFile.h"
#include "audio/LBigEndian.h"
#include "audio/LSRCVOX.h"
#include "audio/PeerTestUtil.h"
#include "support/AudioTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using namespace TestSupport;
using namespace PeerTest;

namespace {
std::vector<int32_t> ReadAllFrames(LSoundSourceBase& src)
{
    return ReadFrames(src, src.GetLength(), kBlockFrames);
}

// A peer's decode of a file, as floating point (full scale 1.0).
std::vector<double> PeerDecodeF64(const std::string& strPeer, const std::string& strPath)
{
    const std::string strRaw = strPath + ".f64";
    std::vector<std::string> args = strPeer == "sox"
        ? std::vector<std::string> { "sox", strPath, "-t", "raw", "-e", "floating-point", "-b",
              "64", "-L", strRaw }
        : std::vector<std::string> { "ffmpeg", "-v", "error", "-y", "-i", strPath, "-f", "f64le",
              strRaw };
    std::string strLog;
    EXPECT_EQ(TestSupport::Run(args, &strLog), 0) << strPath << ": " << strLog;
    std::vector<uint8_t> raw = ReadAll(strRaw);
    std::vector<double> v(raw.size() / 8);
    std::memcpy(v.data(), raw.data(), v.size() * 8);
    return v;
}

// The first bytes equal to strFrom, replaced by strTo.
std::vector<uint8_t> Patched(std::vector<uint8_t> v, const std::string& strFrom, const char* szTo)
{
    auto it = std::search(v.begin(), v.end(), strFrom.begin(), strFrom.end());
    EXPECT_NE(it, v.end()) << strFrom;
    if (it != v.end())
        std::copy(szTo, szTo + strFrom.size(), it);
    return v;
}
} // namespace

// Every container and encoding path, each written by sox or ffmpeg, reads
// as the writer decodes the same file, rounded to 16 bits (floats clipped).
TEST(LAifAndAu, ReadWhatPeersWrite)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("ffmpeg");
    TempDir dir;
    struct Case {
        const char* szPeer;
        const char* szExt;
        std::vector<std::string> options; // the writer's, before the output name
    };
    const Case cases[] = {
        { "sox", ".aiff", { "-b", "8" } }, { "ffmpeg", ".aiff", { "-c:a", "pcm_s16be" } },
        { "sox", ".aiff", { "-b", "24" } }, { "ffmpeg", ".aiff", { "-c:a", "pcm_s32be" } },
        { "sox", ".aifc", { "-b", "16" } }, // c5.aifc, relabelled below
        { "ffmpeg", ".aiff", { "-c:a", "pcm_s16le" } },
        { "sox", ".aifc", { "-e", "floating-point", "-b", "32" } },
        { "ffmpeg", ".aiff", { "-af", "volume=1.5", "-c:a", "pcm_f64be" } },
        { "ffmpeg", ".aiff", { "-c:a", "pcm_alaw" } },
        { "ffmpeg", ".aiff", { "-c:a", "pcm_mulaw" } }, { "sox", ".au", { "-e", "mu-law" } },
        { "ffmpeg", ".au", { "-c:a", "pcm_alaw" } }, { "ffmpeg", ".au", { "-c:a", "pcm_s8" } },
        { "sox", ".au", { "-b", "16" } }, { "ffmpeg", ".au", { "-c:a", "pcm_s24be" } },
        { "sox", ".au", { "-b", "32" } },
        { "ffmpeg", ".au", { "-af", "volume=1.5", "-c:a", "pcm_f32be" } },
        { "sox", ".au", { "-e", "floating-point", "-b", "64" } },
        { "twos", ".aifc", { "-b", "16" } }, // no peer writes "twos": sox's "NONE" relabelled
    };
    const std::string strSource = dir.File("source.wav");
    ASSERT_EQ(TestSupport::Run({ "sox", "-n", "-r", "11025", "-c", "2", "-e", "floating-point",
                  "-b", "32", strSource, "synth", "0.5", "sine", "200-2500", "sine", "300-3000",
                  "vol", "0.9" }),
        0);
    int iCase = 0;
    for (const Case& c : cases) {
        const std::string strPeer = c.szPeer;
        const std::string strPath = dir.File("c" + std::to_string(++iCase) + c.szExt);
        const bool bLoud
            = std::find(c.options.begin(), c.options.end(), "volume=1.5") != c.options.end();
        SCOPED_TRACE(strPeer + " " + c.options.back() + " " + strPath);
        std::vector<std::string> args = strPeer == "ffmpeg"
            ? std::vector<std::string> { "ffmpeg", "-v", "error", "-y", "-i", strSource }
            : std::vector<std::string> { "sox", strSource };
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(strPath);
        std::string strLog;
        ASSERT_EQ(TestSupport::Run(args, &strLog), 0) << strLog;
        if (strPeer == "twos")
            WriteAll(strPath, Patched(ReadAll(strPath), "NONE", "twos"));
        const std::vector<double> want
            = PeerDecodeF64(strPeer == "ffmpeg" ? "ffmpeg" : "sox", strPath);
        SourceHandle h = std::string(c.szExt) == ".au" ? LAuFile::OpenSource(strPath)
                                                       : LAifFile::OpenSource(strPath);
        ASSERT_FALSE(h->IsError()) << h->GetErrorText();
        EXPECT_EQ(h->GetSampleRate(), 11025);
        ASSERT_EQ(h->GetChannels(), 2);
        ASSERT_EQ(size_t(h->GetLength()) * 2, want.size());
        EXPECT_GE(want.size(), 11024u);
        const std::vector<int32_t> got = ReadAllFrames(*h);
        double dPeak = 0;
        for (size_t i = 0; i < got.size(); ++i) {
            ASSERT_NEAR(got[i] / 16.0, std::clamp(want[i] * 32768, -32768.0, 32767.0), 0.5)
                << "sample " << i;
            dPeak = std::max(dPeak, std::abs(want[i]));
        }
        EXPECT_EQ(dPeak > 1.0, bLoud) << dPeak;
    }
    // A compression type not read is named, with its name when it has one.
    const std::string strIma = dir.File("ima.aifc");
    ASSERT_EQ(TestSupport::Run(
                  { "ffmpeg", "-v", "error", "-i", strSource, "-c:a", "adpcm_ima_qt", strIma }),
        0);
    SourceHandle hIma = LAifFile::OpenSource(strIma);
    EXPECT_TRUE(hIma->IsError());
    EXPECT_EQ(hIma->GetErrorText(), "the AIFC compression type \"ima4\" is not supported");
    WriteAll(strIma, Patched(ReadAll(dir.File("c5.aifc")), "NONE", "QDM\x01"));
    EXPECT_EQ(LAifFile::OpenSource(strIma)->GetErrorText(),
        "the AIFC compression type \"QDM?\" (not compressed) is not supported");
}

// Floating-point samples beyond full scale are clipped, NaN reads as silence.
TEST(LAuFile, FloatsClipAndNaNIsSilent)
{
    TempDir dir;
    const double aIn[] = { NAN, INFINITY, -INFINITY, 2.0, -2.0, 0.25, -0.5 / 32768 };
    const int32_t aWant[] = { 0, 0x7FFF0, -0x80000, 0x7FFF0, -0x80000, 0x20000, 0 };
    for (uint32_t uEncoding : { 6u, 7u }) {
        std::vector<uint8_t> file;
        PutTag(file, ".snd");
        for (uint32_t u : { 24u, 0xFFFFFFFFu, uEncoding, 8000u, 1u })
            PutBE32(file, u);
        for (double d : aIn) {
            const float f = float(d);
            uint64_t u = 0;
            std::memcpy(
                &u, uEncoding == 6 ? static_cast<const void*>(&f) : &d, uEncoding == 6 ? 4 : 8);
            if (uEncoding == 7)
                PutBE32(file, uint32_t(u >> 32));
            PutBE32(file, uint32_t(u));
        }
        WriteAll(dir.File("f.au"), file);
        SourceHandle h = LAuFile::OpenSource(dir.File("f.au"));
        EXPECT_EQ(ReadAllFrames(*h), std::vector<int32_t>(std::begin(aWant), std::end(aWant)))
            << "encoding " << uEncoding;
    }
}

// What our writers make, sox reads as the same samples; an AU encoding not
// read is named.
TEST(LAifAndAu, WritesWhatSoxReads)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::vector<int16_t> sig = MakeSignal(3000, 2, 11025);
    const std::vector<int32_t> in = ToInternal(sig);
    LAuFile::OpenSink(dir.File("o.au"), 11025, 2)->Write(in.data(), 3000);
    LAifFile::OpenSink(dir.File("o.aiff"), 11025, 2)->Write(in.data(), 3000);
    EXPECT_EQ(PeerDecode("sox", dir.File("o.au")), sig);
    EXPECT_EQ(PeerDecode("sox", dir.File("o.aiff")), sig);
    std::vector<uint8_t> file = ReadAll(dir.File("o.au"));
    ASSERT_EQ(file.size(), 24u + 12000);
    file[15] = 23; // G.721 ADPCM: not read, and said so
    WriteAll(dir.File("bad.au"), file);
    SourceHandle hBad = LAuFile::OpenSource(dir.File("bad.au"));
    EXPECT_TRUE(hBad->IsError());
    EXPECT_EQ(hBad->GetErrorText(), "the AU encoding 23 is not supported");
    WriteAll(dir.File("short.au"), { '.', 's', 'n', 'd' });
    EXPECT_TRUE(LAuFile::OpenSource(dir.File("short.au"))->IsError());
}

TEST(LAifFile, RateFieldBothWays)
{
    uint8_t a[10];
    LAifFile::EncodeRate(44100, a);
    EXPECT_EQ(std::vector<uint8_t>(a, a + 10),
        (std::vector<uint8_t> { 0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0 }));
    for (int32_t r : { 2, 6000, 8000, 11025, 22050, 44100, 48000, 96000, 192000, 2147483647 }) {
        LAifFile::EncodeRate(r, a);
        EXPECT_EQ(LAifFile::DecodeRate(a), r);
    }
    uint8_t bad[10] = { 0x40, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0 };
    EXPECT_EQ(LAifFile::DecodeRate(bad), 0);
}

TEST(LSRCVOX, SplitReadsEqualWholeReadsAndSoxAgrees)
{
    TempDir dir;
    std::vector<uint8_t> bytes(1000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 37 + (i >> 3));
    WriteAll(dir.File("a.vox"), bytes);
    LSRCVOX a(dir.File("a.vox"), 8000), b(dir.File("a.vox"), 8000);
    EXPECT_EQ(a.GetLength(), 2000);
    std::vector<int32_t> x(6), y(6);
    a.Read(x.data(), 3);
    a.Read(x.data() + 3, 3);
    b.Read(y.data(), 6);
    EXPECT_EQ(x, y);
    LSRCVOX missing(dir.File("none.vox"), 8000);
    EXPECT_FALSE(missing.IsError());
    EXPECT_EQ(missing.GetLength(), 0);

    // A speech-band signal through our writer: sox decodes it to the same
    // waveform (sox's decoder works at 12 bits, so compare shape and level).
    REQUIRE_PEER("sox");
    std::vector<int16_t> sig = MakeSignal(8000, 1, 8000);
    LSNKVOX(dir.File("o.vox"), 8000).Write(ToInternal(sig).data(), 8000);
    EXPECT_EQ(ReadAll(dir.File("o.vox")).size(), 4000u);
    std::vector<int16_t> soxOut
        = PeerDecode("sox", dir.File("o.vox"), { "-t", "vox", "-r", "8000" });
    LSRCVOX ours(dir.File("o.vox"), 8000);
    std::vector<int32_t> back = ReadAllFrames(ours);
    ASSERT_EQ(soxOut.size(), back.size());
    double dErr = 0, dSig = 0, dSox = 0;
    for (size_t i = 0; i < back.size(); ++i) {
        dErr += std::pow(back[i] / 16.0 - sig[i], 2);
        dSig += double(sig[i]) * sig[i];
        dSox += std::pow(soxOut[i] - back[i] / 16.0, 2);
    }
    EXPECT_GT(10 * std::log10(dSig / dErr), 12.0) << "our own round trip";
    EXPECT_GT(10 * std::log10(dSig / dSox), 12.0) << "sox hears what we decode";
}

// Real files carry more than the minimal header: chunks the reader does not
// know, a sound-data offset, a long annotation. They read as sox reads them.
TEST(LAifAndAu, ExtraChunksOffsetsAndAnnotations)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::vector<int16_t> sig = MakeSignal(300, 2, 22050);
    std::vector<uint8_t> body;
    PutTag(body, "AIFF");
    PutTag(body, "NAME"); // odd-sized: padded to even
    PutBE32(body, 5);
    body.insert(body.end(), { 't', 'o', 'n', 'e', 's', 0 });
    PutTag(body, "COMM");
    PutBE32(body, 18);
    PutBE16(body, 2);
    PutBE32(body, 300);
    PutBE16(body, 16);
    uint8_t aRate[10];
    LAifFile::EncodeRate(22050, aRate);
    body.insert(body.end(), aRate, aRate + 10);
    PutTag(body, "MARK");
    PutBE32(body, 2);
    PutBE16(body, 0);
    PutTag(body, "SSND");
    PutBE32(body, 8 + 6 + uint32_t(sig.size()) * 2);
    PutBE32(body, 6); // offset: six bytes before the first frame
    PutBE32(body, 0);
    body.insert(body.end(), 6, 0xEE);
    for (int16_t s : sig)
        PutBE16(body, uint16_t(s));
    PutTag(body, "ANNO");
    PutBE32(body, 4);
    PutTag(body, "late");
    std::vector<uint8_t> aiff;
    PutTag(aiff, "FORM");
    PutBE32(aiff, uint32_t(body.size()));
    aiff.insert(aiff.end(), body.begin(), body.end());

    std::string strNote = "recorded at the harbour, second take, wind noise";
    std::vector<uint8_t> au;
    PutTag(au, ".snd");
    const uint32_t uHeader = 24 + uint32_t((strNote.size() + 8) & ~7u);
    for (uint32_t u : { uHeader, uint32_t(sig.size()) * 2, 3u /* 16-bit linear */, 22050u, 2u })
        PutBE32(au, u);
    au.insert(au.end(), strNote.begin(), strNote.end());
    au.resize(uHeader, 0);
    for (int16_t s : sig)
        PutBE16(au, uint16_t(s));

    for (const auto& [strName, bytes] :
        { std::pair { dir.File("x.aiff"), aiff }, std::pair { dir.File("x.au"), au } }) {
        ASSERT_TRUE(WriteAll(strName, bytes));
        SourceHandle h = strName.ends_with(".au") ? LAuFile::OpenSource(strName)
                                                  : LAifFile::OpenSource(strName);
        ASSERT_FALSE(h->IsError()) << strName;
        EXPECT_EQ(h->GetSampleRate(), 22050);
        EXPECT_EQ(h->GetLength(), 300);
        EXPECT_EQ(ReadAllFrames(*h), ToInternal(sig)) << strName;
        EXPECT_EQ(PeerDecode("sox", strName), sig) << "sox agrees on the same bytes";
    }
}
