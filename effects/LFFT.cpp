#include "effects/LFFT.h"

#include "platform/LVectorClones.h"

#include <cmath>
#include <utility>

LFFT::LFFT(int iOrder_)
    : iOrder(iOrder_)
    , n(1 << iOrder_)
    , reverse(size_t(n))
    , twCos(size_t(n))
    , twSin(size_t(n))
{
    for (int k = 0; k < n; ++k) {
        uint32_t r = 0;
        for (int b = 0; b < iOrder; ++b)
            r |= ((uint32_t(k) >> b) & 1u) << (iOrder - 1 - b);
        reverse[size_t(k)] = r;
    }
    const long double ldPi = 3.141592653589793238462643383279502884L;
    for (int h = 1; h < n; h <<= 1)
        for (int j = 0; j < h; ++j) {
            const long double a = ldPi * j / h;
            twCos[size_t(h - 1 + j)] = double(std::cos(a));
            twSin[size_t(h - 1 + j)] = double(std::sin(a));
        }
}

namespace {
// One group of the forward passes: (a, b) becomes (a + b, (a - b) w*) with
// w = e^(2 pi i j / (2 h)) = c + i s. The arrays do not overlap, so the loop
// vectorizes.
ORV_VECTOR_CLONES void DifGroup(double* __restrict ar, double* __restrict ai, double* __restrict br,
    double* __restrict bi, const double* __restrict wc, const double* __restrict ws, int h)
{
    for (int j = 0; j < h; ++j) {
        const double dr = ar[j] - br[j], di = ai[j] - bi[j];
        ar[j] += br[j];
        ai[j] += bi[j];
        br[j] = dr * wc[j] + di * ws[j];
        bi[j] = di * wc[j] - dr * ws[j];
    }
}

// One group of the inverse passes: (a, b) becomes (a + b w, a - b w).
ORV_VECTOR_CLONES void DitGroup(double* __restrict ar, double* __restrict ai, double* __restrict br,
    double* __restrict bi, const double* __restrict wc, const double* __restrict ws, int h)
{
    for (int j = 0; j < h; ++j) {
        const double tr = br[j] * wc[j] - bi[j] * ws[j];
        const double ti = bi[j] * wc[j] + br[j] * ws[j];
        br[j] = ar[j] - tr;
        bi[j] = ai[j] - ti;
        ar[j] += tr;
        ai[j] += ti;
    }
}
} // namespace

void LFFT::ForwardScrambled(double* re, double* im) const
{
    // Decimation in frequency: spans shrinking; the last pass (half-span 1)
    // needs no twiddle.
    for (int h = n / 2; h > 1; h >>= 1)
        for (int s = 0; s < n; s += 2 * h)
            DifGroup(re + s, im + s, re + s + h, im + s + h, twCos.data() + (h - 1),
                twSin.data() + (h - 1), h);
    for (int a = 0; a < n; a += 2) {
        const double dr = re[a] - re[a + 1], di = im[a] - im[a + 1];
        re[a] += re[a + 1];
        im[a] += im[a + 1];
        re[a + 1] = dr;
        im[a + 1] = di;
    }
}

void LFFT::InverseScrambled(double* re, double* im) const
{
    // Decimation in time: the mirror of ForwardScrambled with the conjugate
    // twiddles, spans growing.
    for (int a = 0; a < n; a += 2) {
        const double tr = re[a + 1], ti = im[a + 1];
        re[a + 1] = re[a] - tr;
        im[a + 1] = im[a] - ti;
        re[a] += tr;
        im[a] += ti;
    }
    for (int h = 2; h < n; h <<= 1)
        for (int s = 0; s < n; s += 2 * h)
            DitGroup(re + s, im + s, re + s + h, im + s + h, twCos.data() + (h - 1),
                twSin.data() + (h - 1), h);
}

void LFFT::Transform(std::vector<double>& re, std::vector<double>& im) const
{
    ForwardScrambled(re.data(), im.data());
    for (int k = 0; k < n; ++k) {
        const size_t r = reverse[size_t(k)];
        if (r > size_t(k)) {
            std::swap(re[size_t(k)], re[r]);
            std::swap(im[size_t(k)], im[r]);
        }
    }
    const double dScale = double(1.0f / float(n));
    for (int k = 0; k < n; ++k) {
        re[size_t(k)] *= dScale;
        im[size_t(k)] *= dScale;
    }
}
