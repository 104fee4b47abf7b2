#include "audio/LAifFile.h"
#include "audio/LAuFile.h"
#include "audio/LBigEndian.h"
#include "audio/LSRCVOX.h"
#include "audio/LSampleConvert.h"
#include "support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
std::vector<int32_t> ReadAllFrames(LSoundSourceBase& src)
{
    std::vector<int32_t> out(size_t(src.GetLength()) * size_t(src.GetChannels()));
    for (int32_t i = 0; i < src.GetLength(); i += kBlockFrames)
        src.Read(out.data() + size_t(i) * size_t(src.GetChannels()),
            std::min(kBlockFrames, src.GetLength() - i));
    return out;
}

// sox's own decode of a file, as 16-bit samples.
std::vector<int16_t> SoxDecode(const std::string& strPath, std::vector<std::string> inOpts = {})
{
    std::vector<std::string> args = { "sox" };
    args.insert(args.end(), inOpts.begin(), inOpts.end());
    // To a file: sox's warnings go to stderr, which Run merges with stdout.
    std::string strRaw = strPath + ".decoded.raw", strLog;
    args.insert(args.end(), { strPath, "-t", "raw", "-e", "signed", "-b", "16", "-L", strRaw });
    EXPECT_EQ(TestSupport::Run(args, &strLog), 0) << strPath << ": " << strLog;
    std::vector<uint8_t> raw = ReadAll(strRaw);
    std::vector<int16_t> v(raw.size() / 2);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int16_t(raw[2 * i] | (raw[2 * i + 1] << 8));
    return v;
}

std::vector<int32_t> Internal(const std::vector<int16_t>& s)
{
    std::vector<int32_t> v(s.size());
    LSampleConvert::Int16ToInternal(s.data(), v.data(), s.size());
    return v;
}

void WriteSignal(SinkHandle h, const std::vector<int32_t>& v)
{
    int iCh = h->GetChannels();
    int32_t iFrames = int32_t(v.size()) / iCh;
    for (int32_t i = 0; i < iFrames; i += 5000)
        h->Write(v.data() + size_t(i) * size_t(iCh), std::min(5000, iFrames - i));
}
} // namespace

// Every AU encoding sox writes reads as sox decodes it.
TEST(LAuFile, ReadsEveryEncodingSoxWrites)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    struct Case {
        std::vector<std::string> opts;
        int iTolerance; // in 16-bit steps: sox expands G.711 with 14/13-bit precision
    };
    for (const Case& c : { Case { { "-e", "mu-law" }, 8 }, Case { { "-e", "a-law" }, 16 },
             Case { { "-e", "signed", "-b", "8" }, 0 },
             Case { { "-e", "signed", "-b", "16" }, 0 } }) {
        std::string strPath = dir.File("s.au");
        std::vector<std::string> args = { "sox", "-n", "-r", "8000", "-c", "2" };
        args.insert(args.end(), c.opts.begin(), c.opts.end());
        args.insert(args.end(), { strPath, "synth", "0.5", "sine", "200-2500", "vol", "0.8" });
        ASSERT_EQ(TestSupport::Run(args), 0);
        SourceHandle h = LAuFile::OpenSource(strPath);
        ASSERT_FALSE(h->IsError()) << c.opts[1];
        EXPECT_EQ(h->GetChannels(), 2);
        EXPECT_EQ(h->GetSampleRate(), 8000);
        std::vector<int16_t> expect = SoxDecode(strPath);
        std::vector<int32_t> got = ReadAllFrames(*h);
        ASSERT_EQ(got.size(), expect.size());
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_NEAR(got[i] / 16.0, expect[i], c.iTolerance + 0.5) << c.opts[1] << " at " << i;
    }
}

TEST(LAuFile, WritesWhatSoxReadsAndRejectsOthers)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::vector<int16_t> sig = MakeSignal(3000, 2, 11025);
    WriteSignal(LAuFile::OpenSink(dir.File("o.au"), 11025, 2), Internal(sig));
    EXPECT_EQ(SoxDecode(dir.File("o.au")), sig);
    std::vector<uint8_t> file = ReadAll(dir.File("o.au"));
    ASSERT_EQ(file.size(), 24u + 12000);
    EXPECT_EQ(file[11], 0xE0) << "data size 12000 = 0x2EE0";
    file[15] = 5; // encoding 5: not supported
    WriteAll(dir.File("bad.au"), file);
    EXPECT_TRUE(LAuFile::OpenSource(dir.File("bad.au"))->IsError());
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

TEST(LAifFile, InteroperatesWithSox)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::vector<int16_t> sig = MakeSignal(1000, 2, 44100);
    WriteSignal(LAifFile::OpenSink(dir.File("o.aiff"), 44100, 2), Internal(sig));
    std::vector<uint8_t> f = ReadAll(dir.File("o.aiff"));
    ASSERT_EQ(f.size(), 54u + 4000);
    auto BE32 = [&](size_t o) {
        return uint32_t(f[o] << 24 | f[o + 1] << 16 | f[o + 2] << 8 | f[o + 3]);
    };
    EXPECT_EQ(BE32(4), 4046u);
    EXPECT_EQ(BE32(22), 1000u);
    EXPECT_EQ(BE32(42), 4008u);
    EXPECT_EQ(SoxDecode(dir.File("o.aiff")), sig);
    // sox's AIFF (with its own chunk layout) reads back the same.
    ASSERT_EQ(TestSupport::Run({ "sox", dir.File("o.aiff"), "-b", "8", dir.File("s8.aiff") }), 0);
    SourceHandle h8 = LAifFile::OpenSource(dir.File("s8.aiff"));
    ASSERT_FALSE(h8->IsError());
    std::vector<int16_t> expect8 = SoxDecode(dir.File("s8.aiff"));
    std::vector<int32_t> got8 = ReadAllFrames(*h8);
    ASSERT_EQ(got8.size(), expect8.size());
    for (size_t i = 0; i < got8.size(); ++i)
        ASSERT_EQ(got8[i], expect8[i] * 16) << i;
    // Compressed AIFF does not open.
    ASSERT_EQ(TestSupport::Run({ "sox", dir.File("o.aiff"), "-t", "aifc", dir.File("c.aifc") }), 0);
    EXPECT_TRUE(LAifFile::OpenSource(dir.File("c.aifc"))->IsError());
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
    {
        LSNKVOX sink(dir.File("o.vox"), 8000);
        std::vector<int32_t> v = Internal(sig);
        sink.Write(v.data(), 8000);
    }
    EXPECT_EQ(ReadAll(dir.File("o.vox")).size(), 4000u);
    std::vector<int16_t> soxOut = SoxDecode(dir.File("o.vox"), { "-t", "vox", "-r", "8000" });
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
TEST(LAifFile, ExtraChunksAndSoundDataOffset)
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
    std::vector<uint8_t> file;
    PutTag(file, "FORM");
    PutBE32(file, uint32_t(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    ASSERT_TRUE(WriteAll(dir.File("x.aiff"), file));

    SourceHandle h = LAifFile::OpenSource(dir.File("x.aiff"));
    ASSERT_FALSE(h->IsError());
    EXPECT_EQ(h->GetSampleRate(), 22050);
    EXPECT_EQ(h->GetLength(), 300);
    EXPECT_EQ(ReadAllFrames(*h), Internal(sig));
    EXPECT_EQ(SoxDecode(dir.File("x.aiff")), sig) << "sox agrees on the same bytes";
}

TEST(LAuFile, LongAnnotation)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::vector<int16_t> sig = MakeSignal(400, 1, 8000);
    std::string strNote = "recorded at the harbour, second take, wind noise";
    std::vector<uint8_t> file;
    PutTag(file, ".snd");
    const uint32_t uHeader = 24 + uint32_t((strNote.size() + 8) & ~7u);
    PutBE32(file, uHeader);
    PutBE32(file, uint32_t(sig.size()) * 2);
    PutBE32(file, 3); // 16-bit linear
    PutBE32(file, 8000);
    PutBE32(file, 1);
    file.insert(file.end(), strNote.begin(), strNote.end());
    file.resize(uHeader, 0);
    for (int16_t s : sig)
        PutBE16(file, uint16_t(s));
    ASSERT_TRUE(WriteAll(dir.File("x.au"), file));
    SourceHandle h = LAuFile::OpenSource(dir.File("x.au"));
    ASSERT_FALSE(h->IsError());
    EXPECT_EQ(h->GetLength(), 400);
    EXPECT_EQ(ReadAllFrames(*h), Internal(sig));
    EXPECT_EQ(SoxDecode(dir.File("x.au")), sig);
}
