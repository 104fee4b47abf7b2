#include "audio/LGSMFileSink.h"
#include "audio/LGSMFileSource.h"
#include "audio/PeerTestUtil.h"
#include "codecs/gsm/LGSMFrame.h"
#include "codecs/gsm/LGSMPeers.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

using TestSupport::TempDir;

namespace {

using PeerTest::ToInternal;

// Frames of coded speech made by our own encoder (no peer needed).
std::vector<uint8_t> MakeFrames(int iFrames)
{
    std::vector<int32_t> in = ToInternal(LGSMPeers::SpeechLike(160 * iFrames));
    std::vector<uint8_t> out(33 * size_t(iFrames));
    LGSMFrame f;
    for (int i = 0; i < iFrames; ++i)
        f.EncodeNormal(in.data() + 160 * i, out.data() + 33 * i);
    return out;
}

// Decoding of frames from iFirst on with a fresh decoder.
std::vector<int32_t> DecodeFrom(const std::vector<uint8_t>& gsm, size_t iFirst)
{
    LGSMFrame f;
    std::vector<int32_t> out;
    for (size_t i = iFirst; i < gsm.size() / 33; ++i) {
        int32_t buf[160];
        f.DecodeNormal(gsm.data() + 33 * i, buf);
        out.insert(out.end(), buf, buf + 160);
    }
    return out;
}

} // namespace

// The block sizes a consumer asks for do not change what it gets; the
// signature nibble is not checked, a trailing partial frame is ignored, and
// past the end come zeros while the position goes on.
TEST(LGSMFileSource, ChunkSizesDoNotMatter)
{
    TempDir dir;
    std::vector<uint8_t> gsm = MakeFrames(120);
    for (size_t i = 0; i < gsm.size(); i += 33 * 7)
        gsm[i] &= 0x0F;
    std::vector<int32_t> ref = DecodeFrom(gsm, 0);
    ref.resize(ref.size() + 500, 0);
    gsm.push_back(0xD5);
    ASSERT_TRUE(TestSupport::WriteAll(dir.File("a.gsm"), gsm));
    for (const std::vector<int32_t>& sizes : std::vector<std::vector<int32_t>> {
             { 8192 }, { 1 }, { 159, 160, 161 }, { 7, 333, 8192, 2 } }) {
        LHandle<LGSMFileSource> src = MakeHandle<LGSMFileSource>(dir.File("a.gsm"));
        ASSERT_FALSE(src->IsError());
        EXPECT_EQ(src->GetLength(), 120 * 160);
        EXPECT_EQ(src->GetSampleRate(), 8000);
        EXPECT_EQ(src->GetChannels(), 1);
        EXPECT_EQ(src->GetPeak(), 0xFFFE0u);
        std::vector<int32_t> got;
        for (size_t i = 0; got.size() < ref.size(); ++i) {
            std::vector<int32_t> buf(
                std::min(size_t(sizes[i % sizes.size()]), ref.size() - got.size()), 12345);
            src->Read(buf.data(), int32_t(buf.size()));
            got.insert(got.end(), buf.begin(), buf.end());
        }
        EXPECT_TRUE(got == ref) << "first size " << sizes[0];
        EXPECT_EQ(src->GetPosition(), int32_t(ref.size()));
    }
}

// Seeking restarts the decoder at the frame holding the target: what
// follows equals a fresh decode from that frame, from the target's sample on.
TEST(LGSMFileSource, Seek)
{
    TempDir dir;
    std::vector<uint8_t> gsm = MakeFrames(200);
    ASSERT_TRUE(TestSupport::WriteAll(dir.File("a.gsm"), gsm));
    SourceHandle h = MakeHandle<LGSMFileSource>(dir.File("a.gsm"));
    std::vector<int32_t> through = DecodeFrom(gsm, 0);

    for (int32_t iAt : { 165, 0, 160 * 50, 160 * 50 + 159, 31999 }) {
        h->Seek(iAt);
        std::vector<int32_t> got(320);
        h->Read(got.data(), 320);
        EXPECT_EQ(h->GetPosition(), iAt + 320);
        std::vector<int32_t> exp = DecodeFrom(gsm, size_t(iAt / 160));
        exp.resize(exp.size() + 400, 0);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), exp.begin() + iAt % 160)) << iAt;
    }

    // Before the start: zeros, then the file from frame 0.
    h->Seek(-100);
    std::vector<int32_t> neg(400, 9);
    h->Read(neg.data(), 400);
    EXPECT_TRUE(std::all_of(neg.begin(), neg.begin() + 100, [](int32_t x) { return x == 0; }));
    EXPECT_TRUE(std::equal(neg.begin() + 100, neg.end(), through.begin()));

    // Beyond the end: zeros.
    h->Seek(h->GetLength() + 10);
    std::vector<int32_t> past(300, 9);
    h->Read(past.data(), 300);
    EXPECT_TRUE(std::all_of(past.begin(), past.end(), [](int32_t x) { return x == 0; }));
    EXPECT_EQ(h->GetPosition(), h->GetLength() + 310);
}

// The way input arrives does not change the file: whole frames of the
// codec, the last one padded with zeros.
TEST(LGSMFileSink, ChunkSizesDoNotMatter)
{
    TempDir dir;
    std::vector<int32_t> in = ToInternal(LGSMPeers::SpeechLike(8000 * 3 + 77));
    std::vector<int32_t> padded = in;
    padded.resize((in.size() + 159) / 160 * 160, 0);
    std::vector<uint8_t> want(padded.size() / 160 * 33);
    LGSMFrame f;
    for (size_t i = 0; i < padded.size() / 160; ++i)
        f.EncodeNormal(padded.data() + 160 * i, want.data() + 33 * i);
    for (const std::vector<int32_t>& sizes :
        std::vector<std::vector<int32_t>> { { 8192 }, { 1, 159, 160, 161 }, { 3000, 7 } }) {
        {
            SinkHandle h = MakeHandle<LGSMFileSink>(dir.File("c.gsm"));
            ASSERT_FALSE(h->IsError());
            size_t i = 0;
            for (size_t k = 0; i < in.size(); ++k) {
                int32_t n
                    = int32_t(std::min<size_t>(size_t(sizes[k % sizes.size()]), in.size() - i));
                h->Write(in.data() + i, n);
                i += size_t(n);
            }
            h->Seek(0); // not supported: ignored
            EXPECT_EQ(h->GetFramesWritten(), int32_t(in.size()));
        }
        EXPECT_TRUE(TestSupport::ReadAll(dir.File("c.gsm")) == want) << "first size " << sizes[0];
    }
}

// Interop on speech-like sound: toast's file reads close to untoast's
// decoding, and ours decodes in toast -d as well as toast's own round trip
// (the codec's exact match with the peers: tests/codecs/gsm).
TEST(LGSMFile, SpeechWithToast)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("toast");
    REQUIRE_PEER("untoast");
    TempDir dir;
    ASSERT_TRUE(PeerTest::MakeMaterial(PeerTest::Material::Speech, dir.File("s.wav"), 6, 1, 8000));
    std::vector<int16_t> pcm = PeerTest::PeerDecode("sox", dir.File("s.wav"));
    std::vector<uint8_t> toasted = LGSMPeers::Toast(dir, pcm);
    std::vector<int16_t> untoasted = LGSMPeers::Untoast(dir, toasted);
    ASSERT_EQ(untoasted.size(), pcm.size());
    ASSERT_TRUE(TestSupport::WriteAll(dir.File("t.gsm"), toasted));
    SourceHandle src = MakeHandle<LGSMFileSource>(dir.File("t.gsm"));
    ASSERT_EQ(src->GetLength(), int32_t(pcm.size()));
    std::vector<int32_t> got(pcm.size()), in = ToInternal(pcm);
    src->Read(got.data(), int32_t(got.size()));
    EXPECT_GT(LGSMPeers::SnrDb(ToInternal(untoasted).data(), got.data(), got.size()), 35.0);
    MakeHandle<LGSMFileSink>(dir.File("w.gsm"))->Write(in.data(), int32_t(in.size()));
    ASSERT_EQ(TestSupport::Run({ "toast", "-d", "-l", "-p", "-f", dir.File("w.gsm") }), 0);
    std::vector<int16_t> decoded = LGSMPeers::ToSamples(TestSupport::ReadAll(dir.File("w")));
    ASSERT_EQ(decoded.size(), pcm.size());
    double dToast = LGSMPeers::SnrDb(pcm.data(), untoasted.data(), pcm.size(), 800);
    EXPECT_GT(LGSMPeers::SnrDb(pcm.data(), decoded.data(), pcm.size(), 800), dToast - 1.0);
}
