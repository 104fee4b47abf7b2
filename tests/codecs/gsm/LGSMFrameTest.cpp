#include "codecs/gsm/LGSMFrame.h"

#include "codecs/gsm/LGSMPeers.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

using TestSupport::TempDir;

namespace {

// Every whole frame through a fresh encoder, or decoder, on the standard path.
std::vector<uint8_t> Encode(const std::vector<int16_t>& pcm)
{
    LGSMFrame g;
    std::vector<uint8_t> out(pcm.size() / 160 * 33);
    for (size_t i = 0; i < pcm.size() / 160; ++i)
        g.EncodeStandard(pcm.data() + 160 * i, out.data() + 33 * i);
    return out;
}
std::vector<int16_t> Decode(const std::vector<uint8_t>& gsm)
{
    LGSMFrame g;
    std::vector<int16_t> out(gsm.size() / 33 * 160);
    for (size_t i = 0; i < gsm.size() / 33; ++i)
        g.DecodeStandard(gsm.data() + 33 * i, out.data() + 160 * i);
    return out;
}

// Test inputs that together reach the codec's corner cases.
std::vector<std::vector<int16_t>> Inputs()
{
    std::vector<std::vector<int16_t>> v;
    v.push_back(LGSMPeers::SpeechLike(8000 * 6));
    v.push_back(TestSupport::MakeSignal(8000 * 2, 1, 8000));
    std::vector<int16_t> noise(160 * 50);
    uint32_t u = 99;
    for (int16_t& x : noise) {
        u = u * 1664525u + 1013904223u;
        x = int16_t(u >> 16); // full-scale white noise
    }
    v.push_back(noise);
    std::vector<int16_t> clicks(160 * 40, 0);
    for (size_t i = 3000; i < clicks.size(); i += 333)
        clicks[i] = (i / 333) % 2 ? 32767 : -32768;
    v.push_back(clicks);
    // A slow full-scale square: once the offset compensation has settled,
    // each step drives the working signal to the top of its range.
    std::vector<int16_t> square(160 * 150);
    for (size_t i = 0; i < square.size(); ++i)
        square[i] = (i / 6000) % 2 ? 32767 : -32768;
    v.push_back(square);
    return v;
}

} // namespace

// The standard path encodes as toast byte for byte and decodes toast's frames and arbitrary
// bits (lags outside 40..120, extreme amplitudes) exactly as untoast.
TEST(LGSMFrame, StandardPathMatchesToastAndUntoast)
{
    REQUIRE_PEER("toast");
    REQUIRE_PEER("untoast");
    TempDir dir;
    std::vector<std::vector<uint8_t>> streams;
    int iCase = 0;
    for (const std::vector<int16_t>& pcm : Inputs()) {
        streams.push_back(LGSMPeers::Toast(dir, pcm));
        ASSERT_EQ(streams.back().size(), pcm.size() / 160 * 33) << "case " << iCase;
        const std::vector<uint8_t> ours = Encode(pcm);
        const size_t uDiff
            = std::mismatch(ours.begin(), ours.end(), streams.back().begin()).first - ours.begin();
        EXPECT_EQ(uDiff, ours.size()) << "case " << iCase++ << ": frame " << uDiff / 33;
    }
    std::vector<uint8_t> random(33 * 500);
    uint32_t u = 5;
    for (size_t i = 0; i < random.size(); ++i) {
        u = u * 1664525u + 1013904223u;
        random[i] = uint8_t(i % 33 == 0 ? 0xD0 | ((u >> 24) & 0x0F) : u >> 24);
    }
    streams.push_back(random);
    iCase = 0;
    for (const std::vector<uint8_t>& gsm : streams) {
        std::vector<int16_t> ref = LGSMPeers::Untoast(dir, gsm);
        std::vector<int16_t> ours = Decode(gsm);
        ASSERT_EQ(ours.size(), ref.size()) << "case " << iCase;
        size_t uDiff = std::mismatch(ours.begin(), ours.end(), ref.begin()).first - ours.begin();
        EXPECT_EQ(uDiff, ours.size()) << "case " << iCase++ << ": first difference at " << uDiff;
    }
}

// Beyond-full-scale and extreme inputs saturate inside the codec rather than
// wrapping; decoded output of any bits stays within the reader's peak bound.
TEST(LGSMFrame, ExtremesStayBounded)
{
    LGSMFrame f;
    std::vector<int32_t> in(160);
    uint8_t frame[33];
    for (int iPass = 0; iPass < 20; ++iPass) {
        for (int k = 0; k < 160; ++k)
            in[size_t(k)] = (k / 7 + iPass) % 2 ? INT32_MAX : INT32_MIN;
        f.EncodeNormal(in.data(), frame);
        EXPECT_EQ(frame[0] >> 4, 0xD);
    }
    std::vector<int32_t> out(160);
    uint32_t u = 17;
    int32_t iPeak = 0;
    for (int iPass = 0; iPass < 2000; ++iPass) {
        for (uint8_t& b : frame) {
            u = u * 1664525u + 1013904223u;
            b = uint8_t(u >> 24);
        }
        f.DecodeNormal(frame, out.data());
        for (int32_t y : out)
            iPeak = std::max(iPeak, std::abs(y));
    }
    EXPECT_LE(iPeak, LGSMFrame::kNormalPeak);
    EXPECT_GT(iPeak, LGSMFrame::kNormalPeak / 4); // random frames are loud
}
