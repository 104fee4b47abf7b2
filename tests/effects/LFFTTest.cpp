#include "effects/LFFT.h"

#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>

namespace {
int32_t Random(uint32_t& u)
{
    u = u * 1664525u + 1013904223u;
    return int32_t(u >> 20) - 2048;
}
} // namespace

// Even and odd orders, split into parts or not: against a plain transform, and the
// convolution of integers exactly against the plain cyclic sums.
TEST(LFFT, TransformAndConvolutionMatchThePlainSums)
{
    for (int iOrder : { 1, 2, 3, 6, 7, 11, 12 }) {
        const LFFT fft(iOrder);
        const size_t n = size_t(fft.Size());
        uint32_t u = uint32_t(iOrder);
        std::vector<double> x(n), y(n);
        for (size_t i = 0; i < n; ++i)
            x[i] = Random(u);
        // A kernel symmetric around point 0, so its transform is real.
        for (size_t i = 0; i <= n / 2; ++i)
            y[i] = y[(n - i) % n] = Random(u);

        std::vector<double> re = x, im(n, 0.0);
        fft.Transform(re, im);
        double dWorst = 0;
        for (size_t k = 0; k < std::min<size_t>(n, 128); ++k) {
            std::complex<double> sum = 0;
            for (size_t t = 0; t < n; ++t)
                sum += x[t]
                    * std::polar(1.0, -2 * std::numbers::pi * double((k * t) % n) / double(n));
            dWorst = std::max(dWorst, std::abs(std::complex(re[k], im[k]) - sum / double(n)));
        }
        EXPECT_LT(dWorst, 1e-9) << "order " << iOrder;

        std::vector<double> spectrum = y, zero(n, 0.0);
        fft.ForwardScrambled(spectrum.data(), zero.data());
        for (double& s : spectrum)
            s /= double(n);
        // Two signals at once: x as the real part, x reversed as the imaginary.
        std::vector<double> cr = x, ci(x.rbegin(), x.rend());
        fft.Convolve(cr.data(), ci.data(), spectrum.data());
        for (size_t k = 0; k < n; ++k) {
            double dReal = 0, dImag = 0;
            for (size_t t = 0; t < n; ++t) {
                dReal += x[t] * y[(k + n - t) % n];
                dImag += x[n - 1 - t] * y[(k + n - t) % n];
            }
            ASSERT_EQ(std::round(cr[k]), dReal) << "order " << iOrder << ", point " << k;
            ASSERT_EQ(std::round(ci[k]), dImag) << "order " << iOrder << ", point " << k;
        }
    }
}
