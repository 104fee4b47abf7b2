#include "audio/LWaveFile.h"

#include "audio/LSampleConvert.h"
#include "audio/PeerTestUtil.h"
#include "support/AudioTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace TestSupport;
using namespace PeerTest;

namespace {

std::vector<int32_t> ReadAllFrames(LSoundSourceBase& src)
{
    return ReadFrames(src, src.GetLength(), kBlockFrames);
}

SourceHandle OpenBytes(const TempDir& dir, const std::vector<uint8_t>& bytes)
{
    std::string strPath = dir.File("t.wav");
    WriteAll(strPath, bytes);
    return LWaveFile::OpenSource(strPath);
}

} // namespace

// What we write, sox reads as the same samples, and the header sizes are
// the true ones.
TEST(LWaveFile, WritesPcmThatSoxReads)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::vector<int16_t> sig = MakeSignal(1000, 2, 44100);
    std::vector<int32_t> internal(sig.size());
    LSampleConvert::Int16ToInternal(sig.data(), internal.data(), sig.size());
    for (int iBits : { 8, 16 }) {
        std::string strPath = dir.File("ours.wav");
        {
            SinkHandle h = LWaveFile::OpenSinkPCM(strPath, 44100, 2, iBits, 0);
            h->Write(internal.data(), 600);
            h->Write(internal.data() + 1200, 400);
        }
        std::vector<uint8_t> file = ReadAll(strPath);
        size_t uStart = 0;
        EXPECT_EQ(DataChunk(file, &uStart).size(), 1000u * 2 * uint32_t(iBits / 8));
        EXPECT_EQ(uStart + 1000u * 2 * uint32_t(iBits / 8), file.size());
        EXPECT_EQ(Le32(file, 4), file.size() - 8);
        std::vector<int16_t> got = PeerDecode("sox", strPath);
        ASSERT_EQ(got.size(), 2000u);
        for (size_t i = 0; i < 2000; ++i) {
            int16_t expect
                = iBits == 16 ? sig[i] : int16_t((LSampleConvert::ToPcm8(internal[i]) - 128) << 8);
            ASSERT_EQ(got[i], expect) << iBits << " bits at " << i;
        }
    }
}

// Our own RF64 header past 4 GiB on a sparse file: the 64-bit sizes are the
// ones read, not the 0xFFFFFFFF of the 32-bit fields.
TEST(LWaveFile, ReadsRF64PastFourGiB)
{
    TempDir dir;
    const int64_t iFrames = 1300000000; // 16-bit stereo: 5.2 GB
    LWaveHeader fmt;
    fmt.nChannels = 2;
    fmt.nBlockAlign = 4;
    std::vector<uint8_t> head = fmt.Build(iFrames * 4, iFrames);
    ASSERT_EQ(std::string(head.begin(), head.begin() + 4), "RF64");
    ASSERT_EQ(std::string(head.begin() + 12, head.begin() + 16), "ds64");
    head.resize(head.size() + 1000, 0x11); // some audio, then sparse zeros
    std::string strBig = dir.File("big.wav");
    WriteAll(strBig, head);
    std::filesystem::resize_file(strBig, 82 + uint64_t(iFrames) * 4 + 2); // one trailing chunk byte
    SourceHandle h = LWaveFile::OpenSource(strBig);
    ASSERT_FALSE(h->IsError());
    EXPECT_EQ(h->GetLength(), iFrames);
    std::vector<int32_t> first(8);
    h->Read(first.data(), 4);
    EXPECT_EQ(first[0], 0x1111 * 16);
}

TEST(LWaveFile, ChunkWalkAcceptsForeignChunksAndOddSizes)
{
    TempDir dir;
    std::vector<int16_t> sig = MakeSignal(101, 1, 8000);
    std::vector<uint8_t> data = Bytes16(sig);
    std::vector<uint8_t> odd = { 1, 2, 3 }; // odd-sized, padded
    std::vector<std::vector<Chunk>> layouts = {
        { { "LIST", odd }, { "fmt ", Fmt(1, 1, 8000, 16) }, { "data", data } },
        { { "fmt ", Fmt(1, 1, 8000, 16) }, { "LIST", odd }, { "fact", { 4, 0, 0, 0 } },
            { "data", data } },
        { { "fmt ", Fmt(1, 1, 8000, 16, 18) }, { "data", data }, { "LIST", odd } },
        { { "fmt ", Fmt(1, 1, 8000, 16, 17) }, { "data", data } }, // odd fmt body
    };
    for (size_t i = 0; i < layouts.size(); ++i) {
        SourceHandle h = OpenBytes(dir, Riff(layouts[i]));
        ASSERT_FALSE(h->IsError()) << "layout " << i;
        EXPECT_EQ(ReadAllFrames(*h), ToInternal(sig)) << "layout " << i;
    }
    // A file whose first chunk is not RIFF: skipped when its size is at least 5.
    std::vector<uint8_t> wav = Riff({ { "fmt ", Fmt(1, 1, 8000, 16) }, { "data", data } });
    std::vector<uint8_t> lead = { 'J', 'U', 'N', 'K', 6, 0, 0, 0, 'W', 'A', 'V', 'E', 0, 0 };
    lead.reserve(lead.size() + wav.size());
    lead.insert(lead.end(), wav.begin(), wav.end());
    EXPECT_FALSE(OpenBytes(dir, lead)->IsError());
    lead[4] = 3;
    lead.erase(lead.begin() + 12, lead.begin() + 14);
    lead.erase(lead.begin() + 11);
    EXPECT_TRUE(OpenBytes(dir, lead)->IsError());
}

TEST(LWaveFile, RejectsBadFormatsAndValidatesRanges)
{
    TempDir dir;
    std::vector<uint8_t> data(100, 0);
    auto Opens = [&](std::vector<uint8_t> fmt) {
        return !OpenBytes(dir, Riff({ { "fmt ", fmt }, { "data", data } }))->IsError();
    };
    EXPECT_TRUE(Opens(Fmt(1, 1, 8000, 16, 16)));
    EXPECT_FALSE(Opens(Fmt(1, 1, 8000, 16, 13)));
    EXPECT_FALSE(Opens(Fmt(1, 1, 8000, 16, 8193)));
    EXPECT_TRUE(Opens(Fmt(1, 1, 8000, 16, 8192)));
    EXPECT_FALSE(Opens(Fmt(1, 0, 8000, 16)));
    EXPECT_FALSE(Opens(Fmt(1, 256, 8000, 16)));
    EXPECT_TRUE(Opens(Fmt(1, 255, 8000, 8)));
    EXPECT_FALSE(Opens(Fmt(1, 1, 196001, 16)));
    EXPECT_TRUE(Opens(Fmt(1, 1, 196000, 16)));
    EXPECT_FALSE(Opens(Fmt(1, 1, 0, 16)));
    // No data chunk, no fmt chunk, not RIFF at all, empty file.
    EXPECT_TRUE(OpenBytes(dir, Riff({ { "fmt ", Fmt(1, 1, 8000, 16) } }))->IsError());
    EXPECT_TRUE(OpenBytes(dir, Riff({ { "data", data } }))->IsError());
    EXPECT_TRUE(OpenBytes(dir, { 'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' ' })->IsError());
    EXPECT_TRUE(OpenBytes(dir, {})->IsError());
    EXPECT_TRUE(LWaveFile::OpenSource(dir.File("does-not-exist.wav"))->IsError());
}

TEST(LWaveFile, DataSizeUnknownOrLargerThanTheFile)
{
    TempDir dir;
    std::vector<uint8_t> data(1000, 0);
    Chunk c { "data", data, 0xFFFFFFFF };
    SourceHandle h = OpenBytes(dir, Riff({ { "fmt ", Fmt(1, 1, 8000, 16) }, c }));
    ASSERT_FALSE(h->IsError());
    EXPECT_EQ(h->GetLength(), 500);
    // A header claiming more than the file holds (a truncated copy) gives the
    // length of what is there.
    c.uSize = 100000;
    h = OpenBytes(dir, Riff({ { "fmt ", Fmt(1, 2, 8000, 16) }, c }));
    EXPECT_EQ(h->GetLength(), 250);
}

TEST(LWaveFile, ReadsZerosAroundTheAudioAndSeeks)
{
    TempDir dir;
    std::vector<int16_t> sig = MakeSignal(9000, 1, 8000);
    SourceHandle h
        = OpenBytes(dir, Riff({ { "fmt ", Fmt(1, 1, 8000, 16) }, { "data", Bytes16(sig) } }));
    std::vector<int32_t> want(100, 0), internal = ToInternal(sig);
    want.insert(want.end(), internal.begin(), internal.end());
    want.resize(want.size() + 20000, 0);
    for (int32_t iAt : { -100, 8990, 20000 }) {
        h->Seek(iAt);
        std::vector<int32_t> buf(8192, 7);
        h->Read(buf.data(), 8192);
        EXPECT_EQ(h->GetPosition(), iAt + 8192);
        EXPECT_TRUE(std::equal(buf.begin(), buf.end(), want.begin() + 100 + iAt)) << iAt;
    }
}

TEST(LWaveFile, WriterStartFrameAndSeekBack)
{
    TempDir dir;
    std::string strPath = dir.File("rec.wav");
    std::vector<int32_t> ones(2000, 16), twos(2000, 32);
    {
        SinkHandle h = LWaveFile::OpenSinkPCM(strPath, 8000, 1, 16, 0);
        h->Write(ones.data(), 1000);
        h->Seek(5000); // forward: ignored
        EXPECT_EQ(h->GetFramesWritten(), 1000);
    }
    {
        // Continue the recording from frame 600.
        SinkHandle h = LWaveFile::OpenSinkPCM(strPath, 8000, 1, 16, 600);
        EXPECT_EQ(h->GetFramesWritten(), 600);
        h->Write(twos.data(), 100);
    }
    SourceHandle src = LWaveFile::OpenSource(strPath);
    ASSERT_EQ(src->GetLength(), 700);
    std::vector<int32_t> got = ReadAllFrames(*src);
    EXPECT_EQ(got[599], 16);
    EXPECT_EQ(got[600], 32);
    {
        SinkHandle h = LWaveFile::OpenSinkPCM(strPath, 8000, 1, 16, 0);
        h->Write(ones.data(), 10);
        h->Seek(0);
    }
    EXPECT_EQ(ReadAll(strPath).size(), 82u);
    EXPECT_FALSE(LWaveFile::OpenSinkPCM(strPath, 8000, 1, 24, 0));
    EXPECT_TRUE(LWaveFile::OpenSinkPCM(dir.File("no/such/folder.wav"), 8000, 1, 16, 0)->IsError());
}
