#include "effects/LSpectrum.h"

#include "support/AudioTestSupport.h"

#include <cmath>
#include <complex>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>

namespace {
// The levels by a plain discrete Fourier transform.
LSpectrumValues PlainDft(const std::vector<int32_t>& x)
{
    LSpectrumValues v;
    const size_t n = x.size();
    for (size_t k = 0; k < v.size(); ++k) {
        std::complex<double> sum = 0;
        for (size_t t = 0; t < n; ++t)
            sum += double(x[t])
                * std::polar(1.0, -2 * std::numbers::pi * double((k * t) % n) / double(n));
        const double m = std::trunc(std::abs(sum) / double(n)) / 92682.0;
        v[k] = int8_t(m > 0 ? std::clamp(std::round(20 * std::log10(m)), -127.0, 127.0) : -127);
    }
    return v;
}
} // namespace

TEST(LSpectrum, SineDcAndSilenceMatchAPlainTransform)
{
    struct Case {
        const char* szName;
        std::function<int32_t(int)> fn;
        int iPeakBin; // -1: no single peak to check
    };
    const Case aCases[] = {
        { "sine 1000 Hz",
            [](int t) {
                return int32_t(
                    std::lround(0x7FFF0 * std::sin(2 * std::numbers::pi * 1000 * t / 44100)));
            },
            93 },
        { "DC", [](int) { return 0x40000; }, 0 },
        { "silence", [](int) { return 0; }, -1 },
        { "quiet", [](int t) { return (t % 7) - 3; }, -1 },
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.szName);
        std::vector<int32_t> x(4096);
        for (int t = 0; t < 4096; ++t)
            x[size_t(t)] = c.fn(t);
        const LSpectrumValues got = LSpectrum::Of(x), want = PlainDft(x);
        int iDiffer = 0;
        for (size_t k = 0; k < got.size(); ++k)
            iDiffer += std::abs(got[k] - want[k]) > 0;
        // Rounding of the two transforms may put a level on the other side
        // of a half decibel; nothing else may differ.
        for (size_t k = 0; k < got.size(); ++k)
            ASSERT_LE(std::abs(got[k] - want[k]), 1) << k;
        EXPECT_LE(iDiffer, 4);
        if (c.iPeakBin >= 0) {
            EXPECT_EQ(std::max_element(got.begin(), got.end()) - got.begin(), c.iPeakBin);
        } else if (c.fn(1) == 0) {
            EXPECT_TRUE(std::all_of(got.begin(), got.end(), [](int8_t v) { return v == -127; }));
        }
    }
}

TEST(LSpectrum, ReadsTheFirstChannelAtThePositionWithSilencePastTheEnd)
{
    // Left a 1 kHz sine, right a 5 kHz one, 5000 frames long.
    auto h = MakeHandle<TestSupport::FnSource>(44100, 2, 5000, [](int64_t f, int c) {
        return int32_t(std::lround(
            0x40000 * std::sin(2 * std::numbers::pi * (c ? 5000 : 1000) * double(f) / 44100)));
    });
    std::vector<int32_t> left(4096, 0);
    for (int t = 0; t < 4096 && 3000 + t < 5000; ++t)
        left[size_t(t)] = h->Value(3000 + t, 0);
    EXPECT_EQ(LSpectrum::At(*h, 3000), LSpectrum::Of(left));
    EXPECT_EQ(LSpectrum::BinHz(93, 44100), 1001);
    EXPECT_EQ(LSpectrum::BinHz(2047, 44100), 22039);
}
