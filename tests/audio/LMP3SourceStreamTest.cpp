// Length, seeking and damaged input of the MP3 reader, on files made by the
// encoder.

#include "audio/LMP3Source.h"
#include "audio/PeerTestUtil.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

using namespace TestSupport;
using namespace PeerTest;

namespace {

// Encodes material into dir/strName; empty string when a tool failed.
std::string Encode(const TempDir& dir, const std::string& strName, Material m, double dSeconds,
    int iChannels, int32_t iRate, std::vector<std::string> lame)
{
    std::string wav = dir.File(strName + ".wav"), mp3 = dir.File(strName);
    if (!MakeMaterial(m, wav, dSeconds, iChannels, iRate))
        return "";
    lame.insert(lame.end(), { "--resample", std::to_string(iRate / 1000.0) });
    return Lame(lame, wav, mp3) ? mp3 : "";
}

// Reads n frames at the current position.
std::vector<int32_t> ReadFrames(LSoundSourceBase& src, int32_t n)
{
    std::vector<int32_t> v(size_t(n) * size_t(src.GetChannels()), 0x55555);
    src.Read(v.data(), n);
    return v;
}

// Largest difference between a and b[from...] in internal units; b is taken
// as zeros past its end.
int32_t MaxDiff(const std::vector<int32_t>& a, const std::vector<int32_t>& b, size_t from)
{
    int32_t m = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int32_t r = from + i < b.size() ? b[from + i] : 0;
        m = std::max(m, std::abs(a[i] - r));
    }
    return m;
}

bool AllZero(const std::vector<int32_t>& v)
{
    return std::all_of(v.begin(), v.end(), [](int32_t x) { return x == 0; });
}

// Two 16-bit steps in internal units.
constexpr int32_t kTolerance = 2 * 16;

} // namespace

// Without an Info/Xing frame the length is an estimate from the first frames,
// corrected while reading; the read that meets the end fixes the true
// length, whatever the block size. (With the frame the length at opening is
// exact: the conformance rows check it against the peers.)
TEST(LMP3SourceLength, EstimateCorrectedToTrueEnd)
{
    REQUIRE_PEER("lame");
    REQUIRE_PEER("mpg123");
    REQUIRE_PEER("sox");
    TempDir dir;
    // VBR after a quiet second: the first frames are the smallest ones.
    std::string music = dir.File("music.wav"), padded = dir.File("padded.wav");
    std::string cbr = dir.File("cbr.mp3"), vbr = dir.File("vbr.mp3");
    ASSERT_TRUE(MakeMaterial(Material::Music, music, 4, 2, 44100));
    ASSERT_EQ(TestSupport::Run({ "sox", music, padded, "pad", "1.5", "0" }), 0);
    ASSERT_TRUE(Lame({ "-b", "128", "-t" }, music, cbr));
    ASSERT_TRUE(Lame({ "-V", "2", "-t" }, padded, vbr));
    for (const std::string& path : { cbr, vbr }) {
        int32_t truth = int32_t(Mpg123(path).size() / 2);
        for (int32_t block : { 8192, 1152, 577, 1 }) {
            LHandle<LMP3Source> src = MakeHandle<LMP3Source>(path);
            ASSERT_FALSE(src->IsError());
            int32_t estimate = src->GetLength(), mid = 0;
            std::vector<int32_t> buf(size_t(block) * 2);
            while (src->GetPosition() < src->GetLength()) {
                src->Read(buf.data(), block);
                if (mid == 0 && src->GetPosition() >= truth / 2)
                    mid = src->GetLength();
            }
            EXPECT_EQ(src->GetLength(), truth) << path << " block " << block;
            if (path == cbr) {
                EXPECT_LE(std::abs(estimate - truth), 1152) << estimate;
            } else {
                EXPECT_LT(std::abs(mid - truth), std::abs(estimate - truth)) << estimate;
            }
            // Past the end: zeros, and the position goes on.
            int32_t at = src->GetPosition();
            EXPECT_TRUE(AllZero(ReadFrames(*src, 100)));
            EXPECT_EQ(src->GetPosition(), at + 100);
            EXPECT_EQ(src->GetLength(), truth);
        }
    }
    // An ID3v2 tag whose payload looks like frame headers is passed over whole.
    std::vector<uint8_t> fake = { 'I', 'D', '3', 3, 0, 0, 0, 0, 0x10, 0 };
    for (int i = 0; i < 2048; i += 4)
        fake.insert(fake.end(), { 0xFF, 0xFB, 0x90, 0x64 });
    std::vector<uint8_t> body = ReadAll(cbr);
    fake.insert(fake.end(), body.begin(), body.end());
    ASSERT_TRUE(WriteAll(dir.File("v2fake.mp3"), fake));
    EXPECT_TRUE(DecodeAll(dir.File("v2fake.mp3")) == DecodeAll(cbr));
}

// After a seek (frames before it rebuild the reservoir and filter state) the
// reader delivers what continuous decoding does; a seek to 0 starts afresh.
// A VBR seek lands near the target by the average frame size: the position
// holds, the samples stay bounded, and reading on ends at most at the length.
TEST(LMP3SourceSeek, MatchesContinuousDecoding)
{
    REQUIRE_PEER("lame");
    REQUIRE_PEER("sox");
    TempDir dir;
    struct File {
        std::string path;
        int32_t spf;
        bool bExact;
    };
    std::vector<File> files = {
        { Encode(dir, "a.mp3", Material::Music, 5, 2, 44100, { "-b", "128" }), 1152, true },
        { Encode(dir, "b.mp3", Material::Speech, 5, 2, 44100, { "-b", "128", "-t" }), 1152, true },
        { Encode(dir, "d.mp3", Material::Speech, 5, 1, 22050, { "-b", "40", "-p" }), 576, true },
        { Encode(dir, "v.mp3", Material::Music, 5, 2, 44100, { "-V", "0" }), 1152, false },
    };
    for (const File& f : files) {
        ASSERT_FALSE(f.path.empty());
        int32_t len = 0;
        std::vector<int32_t> all = DecodeAll(f.path, 8192, false, nullptr, &len);
        LHandle<LMP3Source> src = MakeHandle<LMP3Source>(f.path);
        int ch = src->GetChannels();
        ReadFrames(*src, len / 2);
        int32_t s = f.spf;
        for (int32_t pos : { 1, s - 1, s, s + 1, 2 * s + 17, 9 * s + 100, 10 * s, len / 2 + 3,
                 len - 2 * s - 1, len - s, len - 100, len - 1, len, len + 50, 0 }) {
            src->Seek(pos);
            EXPECT_EQ(src->GetPosition(), pos);
            std::vector<int32_t> got = ReadFrames(*src, 3000);
            EXPECT_EQ(src->GetPosition(), pos + 3000);
            int32_t d = MaxDiff(got, all, size_t(pos) * size_t(ch));
            if (f.bExact || pos == 0) {
                EXPECT_LE(d, pos == 0 ? 0 : kTolerance) << f.path << " at " << pos;
            } else {
                EXPECT_TRUE(std::all_of(
                    got.begin(), got.end(), [](int32_t x) { return std::abs(x) <= 0x200000; }));
            }
        }
        // Reading on from a seek reaches the same end (VBR: at most the length).
        src->Seek(len - 5000);
        for (int guard = 0; guard < 1000 && src->GetPosition() < src->GetLength(); ++guard)
            ReadFrames(*src, 4096);
        EXPECT_GE(src->GetPosition(), src->GetLength());
        EXPECT_LE(src->GetLength(), len);
        EXPECT_GT(src->GetLength(), f.bExact ? len - 1 : len - 20 * 1152);
    }
}

namespace {

// Reads the whole source (guarded), checking the peak bound; the frames
// delivered before the end.
std::vector<int32_t> Drain(LSoundSourceBase& src)
{
    std::vector<int32_t> out;
    for (int guard = 0; guard < 10000 && src.GetPosition() < src.GetLength(); ++guard) {
        std::vector<int32_t> b = ReadFrames(src, 4096);
        for (int32_t x : b)
            EXPECT_LE(std::abs(x), 0x200000);
        out.insert(out.end(), b.begin(), b.end());
    }
    EXPECT_GE(src.GetPosition(), src.GetLength());
    out.resize(size_t(std::max(src.GetLength(), 0)) * size_t(src.GetChannels()));
    return out;
}

void ExpectRefused(const TempDir& dir, const std::vector<uint8_t>& bytes, const char* szWhat)
{
    ASSERT_TRUE(WriteAll(dir.File("refused.mp3"), bytes));
    SourceHandle h = LMP3Source::Open(dir.File("refused.mp3"));
    EXPECT_TRUE(h->IsError()) << szWhat;
    std::vector<int32_t> b(2000, 7);
    h->Read(b.data(), 1000);
    EXPECT_TRUE(AllZero(b)) << szWhat;
}

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed)
{
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) {
        seed = seed * 1664525u + 1013904223u;
        b = uint8_t(seed >> 24);
    }
    return v;
}

} // namespace

// A file cut inside a frame decodes up to the cut and ends there with the
// true length; damage inside the file is passed over.
TEST(LMP3SourceRobust, TruncatedAndDamaged)
{
    REQUIRE_PEER("lame");
    REQUIRE_PEER("sox");
    TempDir dir;
    std::string path = Encode(dir, "a.mp3", Material::Music, 4, 2, 44100, { "-b", "128", "-t" });
    ASSERT_FALSE(path.empty());
    std::vector<uint8_t> bytes = ReadAll(path);
    std::vector<int32_t> all = DecodeAll(path);
    for (size_t cut : { size_t(200), bytes.size() / 2 + 211, bytes.size() - 300 }) {
        std::vector<uint8_t> part(bytes.begin(), bytes.begin() + long(cut));
        std::string p = dir.File("cut.mp3");
        ASSERT_TRUE(WriteAll(p, part));
        LHandle<LMP3Source> src = MakeHandle<LMP3Source>(p);
        ASSERT_FALSE(src->IsError()) << cut;
        std::vector<int32_t> got = Drain(*src);
        // 417 or 418 bytes per frame: the frames wholly before the cut.
        int32_t whole = int32_t(cut / 418) * 1152;
        EXPECT_GE(src->GetLength(), whole);
        EXPECT_LE(src->GetLength(), int32_t(cut / 417 + 1) * 1152);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), all.begin())) << cut;
    }
    for (uint32_t seed : { 1u, 2u, 3u }) {
        std::vector<uint8_t> damaged = bytes;
        std::vector<uint8_t> noise = RandomBytes(3000, seed);
        std::copy(noise.begin(), noise.end(), damaged.begin() + long(damaged.size() / 3));
        std::string p = dir.File("damaged.mp3");
        ASSERT_TRUE(WriteAll(p, damaged));
        LHandle<LMP3Source> src = MakeHandle<LMP3Source>(p);
        ASSERT_FALSE(src->IsError());
        std::vector<int32_t> got = Drain(*src);
        // The frames before the damage are intact, and decoding goes on past it.
        size_t before = (damaged.size() / 3 / 418 - 1) * 1152 * 2;
        EXPECT_TRUE(std::equal(all.begin(), all.begin() + long(before), got.begin()));
        EXPECT_GT(src->GetLength(), int32_t(all.size() / 2) - 10 * 1152);
    }
}

// Streams the reader does not take: Layer II, free format, a reserved
// sampling rate, random bytes, tags without audio, an empty file.
TEST(LMP3SourceRobust, RefusedFiles)
{
    TempDir dir;
    std::vector<uint8_t> v1(128, 0), v2(10 + 2038, 0), lone(50, 0);
    std::memcpy(v1.data(), "TAG", 3);
    const uint8_t id3[] = { 'I', 'D', '3', 4, 0, 0, 0, 0, 0x0F, 0x76 };
    std::copy(std::begin(id3), std::end(id3), v2.begin());
    ExpectRefused(dir, {}, "empty");
    ExpectRefused(dir, { 0xFF, 0xFB, 0x90 }, "three bytes");
    ExpectRefused(dir, v1, "ID3v1 tag only");
    ExpectRefused(dir, v2, "ID3v2 tag only");
    v2.insert(v2.end(), v1.begin(), v1.end());
    ExpectRefused(dir, v2, "both tags");
    // Random data may hold a header pair, a file a lone header: either reads to an end.
    const uint8_t header[] = { 0xFF, 0xFB, 0x90, 0x64 };
    std::copy(std::begin(header), std::end(header), lone.begin());
    for (const std::vector<uint8_t>& v : { RandomBytes(20000, 11), RandomBytes(20000, 12),
             RandomBytes(20000, 13), RandomBytes(20000, 14), lone }) {
        ASSERT_TRUE(WriteAll(dir.File("any.mp3"), v));
        SourceHandle h = LMP3Source::Open(dir.File("any.mp3"));
        if (!h->IsError())
            Drain(*h);
    }

    REQUIRE_PEER("lame");
    REQUIRE_PEER("ffmpeg");
    std::string wav = dir.File("in.wav");
    ASSERT_TRUE(MakeWav(wav, 44100 * 2, 2, 44100));
    std::string mp2 = dir.File("layer2.mp3");
    ASSERT_EQ(TestSupport::Run(
                  { "ffmpeg", "-v", "error", "-y", "-i", wav, "-c:a", "mp2", "-f", "mp2", mp2 }),
        0);
    ExpectRefused(dir, ReadAll(mp2), "Layer II");
    std::string free = dir.File("free.mp3");
    ASSERT_TRUE(Lame({ "--freeformat", "-b", "400" }, wav, free));
    ASSERT_EQ(ReadAll(free)[2] >> 4, 0); // bit rate index 0
    ExpectRefused(dir, ReadAll(free), "free format");
    // Every header of a good file given the reserved sampling-rate index.
    std::string good = dir.File("good.mp3");
    ASSERT_TRUE(Lame({ "-b", "128", "-t" }, wav, good));
    std::vector<uint8_t> bytes = ReadAll(good);
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && (bytes[i + 1] & 0xE0) == 0xE0 && i + 2 < bytes.size())
            bytes[i + 2] |= 0x0C;
    ExpectRefused(dir, bytes, "sampling-rate index 3");
}
