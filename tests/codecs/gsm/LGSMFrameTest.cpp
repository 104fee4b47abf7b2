#include "codecs/gsm/LGSMFrame.h"

#include "codecs/gsm/LGSMPeers.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

using LGSMPeers::SnrDb;
using TestSupport::TempDir;

namespace {

std::vector<uint8_t> EncodeStandard(const std::vector<int16_t>& pcm)
{
    LGSMFrame f;
    std::vector<uint8_t> out(pcm.size() / 160 * 33);
    for (size_t i = 0; i < pcm.size() / 160; ++i)
        f.EncodeStandard(pcm.data() + 160 * i, out.data() + 33 * i);
    return out;
}

std::vector<int16_t> DecodeStandard(const std::vector<uint8_t>& gsm)
{
    LGSMFrame f;
    std::vector<int16_t> out(gsm.size() / 33 * 160);
    for (size_t i = 0; i < gsm.size() / 33; ++i)
        f.DecodeStandard(gsm.data() + 33 * i, out.data() + 160 * i);
    return out;
}

std::vector<int32_t> DecodeNormal(const std::vector<uint8_t>& gsm)
{
    LGSMFrame f;
    std::vector<int32_t> out(gsm.size() / 33 * 160);
    for (size_t i = 0; i < gsm.size() / 33; ++i)
        f.DecodeNormal(gsm.data() + 33 * i, out.data() + 160 * i);
    return out;
}

std::vector<uint8_t> EncodeNormal(const std::vector<int32_t>& in)
{
    LGSMFrame f;
    std::vector<uint8_t> out(in.size() / 160 * 33);
    for (size_t i = 0; i < in.size() / 160; ++i)
        f.EncodeNormal(in.data() + 160 * i, out.data() + 33 * i);
    return out;
}

std::vector<int32_t> ToInternal(const std::vector<int16_t>& v)
{
    std::vector<int32_t> r(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        r[i] = int32_t(v[i]) * 16;
    return r;
}

// Index of the first differing frame, or -1.
long FirstDiff(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            return long(i / 33);
    return a.size() == b.size() ? -1 : long(std::min(a.size(), b.size()) / 33);
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

// The standard path must reproduce the reference encoder byte for byte.
TEST(LGSMFrame, StandardEncodeMatchesToast)
{
    REQUIRE_PEER("toast");
    TempDir dir;
    int iCase = 0;
    for (const std::vector<int16_t>& pcm : Inputs()) {
        std::vector<uint8_t> ref = LGSMPeers::Toast(dir, pcm);
        ASSERT_EQ(ref.size(), pcm.size() / 160 * 33) << "case " << iCase;
        std::vector<uint8_t> ours = EncodeStandard(pcm);
        EXPECT_EQ(FirstDiff(ours, ref), -1) << "case " << iCase;
        ++iCase;
    }
}

// Decoding the reference's frames, and frames of arbitrary bits (lags
// outside 40..120, extreme amplitudes), must match the reference decoder.
TEST(LGSMFrame, StandardDecodeMatchesUntoast)
{
    REQUIRE_PEER("toast");
    REQUIRE_PEER("untoast");
    TempDir dir;
    std::vector<std::vector<uint8_t>> streams;
    for (const std::vector<int16_t>& pcm : Inputs())
        streams.push_back(LGSMPeers::Toast(dir, pcm));
    std::vector<uint8_t> random(33 * 500);
    uint32_t u = 5;
    for (size_t i = 0; i < random.size(); ++i) {
        u = u * 1664525u + 1013904223u;
        random[i] = uint8_t(u >> 24);
        if (i % 33 == 0)
            random[i] = uint8_t(0xD0 | (random[i] & 0x0F));
    }
    streams.push_back(random);
    int iCase = 0;
    for (const std::vector<uint8_t>& gsm : streams) {
        ASSERT_FALSE(gsm.empty());
        std::vector<int16_t> ref = LGSMPeers::Untoast(dir, gsm);
        std::vector<int16_t> ours = DecodeStandard(gsm);
        ASSERT_EQ(ours.size(), ref.size()) << "case " << iCase;
        size_t uDiff = 0;
        while (uDiff < ours.size() && ours[uDiff] == ref[uDiff])
            ++uDiff;
        EXPECT_EQ(uDiff, ours.size())
            << "case " << iCase << ": first difference at sample " << uDiff;
        ++iCase;
    }
}

// The program's own output filter differs from the standard postprocessing
// in the de-emphasis constant (880/1024 against 28180/32768), in not
// truncating to 13 bits and in not clipping at the 16-bit range. Clipped to
// that range, its output must stay close to the reference's.
TEST(LGSMFrame, NormalDecodeCloseToUntoast)
{
    REQUIRE_PEER("toast");
    REQUIRE_PEER("untoast");
    TempDir dir;
    for (int iSig = 0; iSig < 2; ++iSig) {
        std::vector<int16_t> pcm = iSig == 0 ? LGSMPeers::SpeechLike(8000 * 6)
                                             : TestSupport::MakeSignal(8000 * 3, 1, 8000);
        std::vector<uint8_t> gsm = LGSMPeers::Toast(dir, pcm);
        std::vector<int16_t> ref = LGSMPeers::Untoast(dir, gsm);
        std::vector<int32_t> ours = DecodeNormal(gsm);
        ASSERT_EQ(ours.size(), ref.size());
        std::vector<int32_t> refInternal = ToInternal(ref);
        double dRaw = SnrDb(refInternal.data(), ours.data(), ours.size());
        int32_t iMaxDiff = 0;
        int32_t iPeak = 0;
        for (size_t i = 0; i < ours.size(); ++i) {
            iPeak = std::max(iPeak, std::abs(ours[i]));
            ours[i] = std::clamp(ours[i], -0x80000, 0x7FFF0);
            iMaxDiff = std::max(iMaxDiff, std::abs(ours[i] - refInternal[i]));
        }
        double dClipped = SnrDb(refInternal.data(), ours.data(), ours.size());
        std::printf("[ GSM ] signal %d normal decode vs untoast: SNR %.1f dB unclipped, %.1f dB "
                    "clipped, max diff clipped %.1f (16-bit units), our peak %.2f x full "
                    "scale\n",
            iSig, dRaw, dClipped, iMaxDiff / 16.0, iPeak / double(0x7FFF0));
        EXPECT_GT(dClipped, 35.0) << iSig;
    }
}

// The program's own input filter feeding the standard analysis must code as
// well as the reference: decoded by untoast, the SNR against the input is
// within 1 dB of the reference encoder's on the same input.
TEST(LGSMFrame, NormalEncodeDecodesInUntoast)
{
    REQUIRE_PEER("toast");
    REQUIRE_PEER("untoast");
    TempDir dir;
    for (int iSig = 0; iSig < 2; ++iSig) {
        std::vector<int16_t> pcm = iSig == 0 ? LGSMPeers::SpeechLike(8000 * 6)
                                             : TestSupport::MakeSignal(8000 * 3, 1, 8000);
        std::vector<uint8_t> ours = EncodeNormal(ToInternal(pcm));
        std::vector<int16_t> decOurs = LGSMPeers::Untoast(dir, ours);
        std::vector<int16_t> decRef = LGSMPeers::Untoast(dir, LGSMPeers::Toast(dir, pcm));
        ASSERT_EQ(decOurs.size(), pcm.size());
        ASSERT_EQ(decRef.size(), pcm.size());
        double dOurs = SnrDb(pcm.data(), decOurs.data(), pcm.size(), 800);
        double dRef = SnrDb(pcm.data(), decRef.data(), pcm.size(), 800);
        std::vector<int32_t> rt = DecodeNormal(ours);
        double dRoundTrip = SnrDb(pcm.data(), rt.data(), pcm.size(), 800, 1.0 / 16);
        std::printf("[ GSM ] signal %d: SNR ours->untoast %.2f dB, toast->untoast %.2f dB, "
                    "ours->ours %.2f dB\n",
            iSig, dOurs, dRef, dRoundTrip);
        EXPECT_GT(dOurs, dRef - 1.0) << iSig;
        EXPECT_GT(dRoundTrip, dRef - 1.0) << iSig;
        EXPECT_GT(dOurs, 5.0) << iSig;
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
