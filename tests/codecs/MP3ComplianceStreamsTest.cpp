#include "codecs/mp3/MP3Decoder.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The bytes of a whole file, read as MP3Header::ReadHeader reads a file.
struct ByteFile {
    const std::vector<uint8_t>& data;
    size_t uPos = 0;
    int64_t Read(void* p, int64_t n)
    {
        size_t k = std::min(size_t(n), data.size() - uPos);
        std::memcpy(p, data.data() + uPos, k);
        uPos += k;
        return int64_t(k);
    }
};

// Every frame of a stream through one decoder, rounded to 16 bits as a save
// would before any limiter: (x + 8) >> 4, saturated.
std::vector<int16_t> Decode(const std::vector<uint8_t>& bits, bool bScalar)
{
    ByteFile file { bits };
    int64_t iAvail = int64_t(bits.size());
    MP3Decoder dec;
    dec.SetScalar(bScalar);
    std::vector<int16_t> out;
    std::vector<int32_t> frame(1152 * 2);
    uint8_t aBody[2048];
    MP3Header h;
    while (h.ReadHeader(file, iAvail)) {
        int body = h.BodyBytes();
        if (body < 0 || body > int(sizeof aBody) || body > iAvail)
            break;
        iAvail -= body;
        file.Read(aBody, body);
        if (dec.DecodeFrame(h, aBody, body, frame.data()) != MP3Decoder::kDecoded)
            continue;
        for (int i = 0; i < h.SamplesPerFrame() * h.Channels(); ++i)
            out.push_back(
                int16_t(std::clamp(int32_t(uint32_t(frame[size_t(i)]) + 8u) >> 4, -32768, 32767)));
    }
    return out;
}

// 10 log10(32767^2 / mean squared error) over the reference; samples missing
// at the end count as silence.
double Psnr(const std::vector<int16_t>& ref, const std::vector<int16_t>& test, size_t uSkip)
{
    double dErr = 0;
    for (size_t i = 0; i < ref.size(); ++i) {
        double d = double(i + uSkip < test.size() ? test[i + uSkip] : 0) - ref[i];
        dErr += d * d;
    }
    return dErr == 0 ? 999.0 : 10.0 * std::log10(32767.0 * 32767.0 * double(ref.size()) / dErr);
}

} // namespace

// The Layer III compliance streams (ORVENNA_MP3_VECTORS: NAME.bit, reference NAME.pcm 16-bit LE)
// decode "fully accurate", 96 dB or better, on the vector and the scalar path.
TEST(MP3ComplianceStreams, FullyAccurateOnBothPaths)
{
    const char* szDir = std::getenv("ORVENNA_MP3_VECTORS");
    if (!szDir || !fs::is_directory(szDir))
        GTEST_SKIP() << "ORVENNA_MP3_VECTORS names no folder of compliance streams";
    // Streams whose reference starts later than the first decoded frame, in samples.
    const struct {
        const char* szName;
        size_t uSkip;
    } aOffsets[] = { { "l3-sin1k0db", 4608 } };
    int nStreams = 0;
    for (const auto& e : fs::directory_iterator(szDir)) {
        if (e.path().extension() != ".bit")
            continue;
        fs::path pcm = e.path();
        pcm.replace_extension(".pcm");
        std::vector<uint8_t> refBytes = TestSupport::ReadAll(pcm.string());
        std::vector<int16_t> ref(refBytes.size() / 2);
        std::memcpy(ref.data(), refBytes.data(), ref.size() * 2);
        ASSERT_FALSE(ref.empty()) << pcm;
        size_t uSkip = 0;
        for (const auto& o : aOffsets)
            if (e.path().stem() == o.szName)
                uSkip = o.uSkip;
        std::vector<uint8_t> bits = TestSupport::ReadAll(e.path().string());
        for (bool bScalar : { false, true })
            EXPECT_GE(Psnr(ref, Decode(bits, bScalar), uSkip), 96.0)
                << e.path().stem() << (bScalar ? " scalar" : " vector");
        ++nStreams;
    }
    EXPECT_GT(nStreams, 0) << "no .bit stream in " << szDir;
}
