#include "effects/LFFT.h"

#include "platform/LVectorClones.h"

#include <algorithm>
#include <cmath>
#include <utility>

LFFT::LFFT(int iOrder_)
    : iOrder(iOrder_)
    , n(1 << iOrder_)
    , iFirstQuarter(iOrder_ % 2 ? 2 : 4)
    , reverse(size_t(n))
{
    for (int k = 0; k < n; ++k) {
        uint32_t r = 0;
        for (int b = 0; b < iOrder; ++b)
            r |= ((uint32_t(k) >> b) & 1u) << (iOrder - 1 - b);
        reverse[size_t(k)] = r;
    }
    const long double ldPi = 3.141592653589793238462643383279502884L;
    if (n / 4 >= iFirstQuarter) // the passes' rows end with the n / 4 one's six
        twiddles.resize(size_t(2 * (n / 4 - iFirstQuarter) + 6 * (n / 4)));
    for (int q = iFirstQuarter; q <= n / 4; q *= 4) {
        double* w = twiddles.data() + 2 * (q - iFirstQuarter);
        const int b = std::min(q, kLanes);
        for (int r = 1; r <= 3; ++r)
            for (int j = 0; j < q; ++j) {
                const long double a = ldPi * (r * j) / (2 * q);
                double* p = w + 6 * b * (j / b) + j % b;
                p[2 * (r - 1) * b] = double(std::cos(a));
                p[(2 * r - 1) * b] = double(std::sin(a));
            }
    }
}

namespace {
// One group of a forward pass over the quarters a0..a3 of span q: the DFT of
// four points, its outputs (in the order 0, 2, 1, 3) times w^0, w^2j, w^j,
// w^3j with w = e^(-2 pi i / (4 q)). The quarters do not overlap, and the
// twiddles come B at a time, so the inner loop vectorizes.
template <int B>
inline __attribute__((always_inline)) void DifGroup(double* __restrict r0, double* __restrict i0,
    double* __restrict r1, double* __restrict i1, double* __restrict r2, double* __restrict i2,
    double* __restrict r3, double* __restrict i3, const double* __restrict w, int q)
{
    for (int jb = 0; jb < q; jb += B, w += 6 * B)
        for (int k = 0; k < B; ++k) {
            const int j = jb + k;
            const double c1 = w[k], s1 = w[B + k], c2 = w[2 * B + k], s2 = w[3 * B + k],
                         c3 = w[4 * B + k], s3 = w[5 * B + k];
            const double sr = r0[j] + r2[j], si = i0[j] + i2[j];
            const double dr = r0[j] - r2[j], di = i0[j] - i2[j];
            const double tr = r1[j] + r3[j], ti = i1[j] + i3[j];
            const double er = r1[j] - r3[j], ei = i1[j] - i3[j];
            r0[j] = sr + tr;
            i0[j] = si + ti;
            const double ar = sr - tr, ai = si - ti; // times w^2j
            r1[j] = ar * c2 + ai * s2;
            i1[j] = ai * c2 - ar * s2;
            const double br = dr + ei, bi = di - er; // d - i e, times w^j
            r2[j] = br * c1 + bi * s1;
            i2[j] = bi * c1 - br * s1;
            const double cr = dr - ei, ci = di + er; // d + i e, times w^3j
            r3[j] = cr * c3 + ci * s3;
            i3[j] = ci * c3 - cr * s3;
        }
}

// One group of an inverse pass: the mirror of DifGroup with the conjugate
// twiddles, leaving four times the group's input.
template <int B>
inline __attribute__((always_inline)) void DitGroup(double* __restrict r0, double* __restrict i0,
    double* __restrict r1, double* __restrict i1, double* __restrict r2, double* __restrict i2,
    double* __restrict r3, double* __restrict i3, const double* __restrict w, int q)
{
    for (int jb = 0; jb < q; jb += B, w += 6 * B)
        for (int k = 0; k < B; ++k) {
            const int j = jb + k;
            const double c1 = w[k], s1 = w[B + k], c2 = w[2 * B + k], s2 = w[3 * B + k],
                         c3 = w[4 * B + k], s3 = w[5 * B + k];
            const double ar = r1[j] * c2 - i1[j] * s2, ai = i1[j] * c2 + r1[j] * s2;
            const double br = r2[j] * c1 - i2[j] * s1, bi = i2[j] * c1 + r2[j] * s1;
            const double cr = r3[j] * c3 - i3[j] * s3, ci = i3[j] * c3 + r3[j] * s3;
            const double sr = r0[j] + ar, si = i0[j] + ai, dr = r0[j] - ar, di = i0[j] - ai;
            const double tr = br + cr, ti = bi + ci, er = br - cr, ei = bi - ci;
            r0[j] = sr + tr;
            i0[j] = si + ti;
            r2[j] = sr - tr;
            i2[j] = si - ti;
            r1[j] = dr - ei; // d + i e
            i1[j] = di + er;
            r3[j] = dr + ei; // d - i e
            i3[j] = di - er;
        }
}

template <int B, class Group>
inline __attribute__((always_inline)) void Pass(
    double* re, double* im, const double* w, int q, int size, Group group)
{
    for (int s = 0; s < size; s += 4 * q)
        group(re + s, im + s, re + s + q, im + s + q, re + s + 2 * q, im + s + 2 * q,
            re + s + 3 * q, im + s + 3 * q, w, q);
}

// A forward pass over groups of span 4 q, from re / im to re / im + size
// (q < 4 only for an odd order).
ORV_VECTOR_CLONES void DifPass(double* re, double* im, const double* w, int q, int size)
{
    if (q < LFFT::kLanes)
        Pass<2>(re, im, w, q, size, DifGroup<2>);
    else
        Pass<LFFT::kLanes>(re, im, w, q, size, DifGroup<LFFT::kLanes>);
}

ORV_VECTOR_CLONES void DitPass(double* re, double* im, const double* w, int q, int size)
{
    if (q < LFFT::kLanes)
        Pass<2>(re, im, w, q, size, DitGroup<2>);
    else
        Pass<LFFT::kLanes>(re, im, w, q, size, DitGroup<LFFT::kLanes>);
}

// The last forward pass for an even order: DFTs of four neighbours.
inline void Dif4(double* r, double* i)
{
    const double sr = r[0] + r[2], si = i[0] + i[2], dr = r[0] - r[2], di = i[0] - i[2];
    const double tr = r[1] + r[3], ti = i[1] + i[3], er = r[1] - r[3], ei = i[1] - i[3];
    r[0] = sr + tr;
    i[0] = si + ti;
    r[1] = sr - tr;
    i[1] = si - ti;
    r[2] = dr + ei;
    i[2] = di - er;
    r[3] = dr - ei;
    i[3] = di + er;
}

// The last forward pass for an odd order (its own inverse): sums and
// differences of two neighbours.
inline void Butterfly2(double* r, double* i)
{
    const double dr = r[0] - r[1], di = i[0] - i[1];
    r[0] += r[1];
    i[0] += i[1];
    r[1] = dr;
    i[1] = di;
}

// Dif4, the products and Dit4 on each four neighbours, written out so that
// the loop vectorizes across them.
ORV_VECTOR_CLONES void ConvolveTail4(
    double* __restrict r, double* __restrict i, const double* __restrict s, int n)
{
    for (int a = 0; a < n; a += 4) {
        const double sr = r[a] + r[a + 2], si = i[a] + i[a + 2];
        const double dr = r[a] - r[a + 2], di = i[a] - i[a + 2];
        const double tr = r[a + 1] + r[a + 3], ti = i[a + 1] + i[a + 3];
        const double er = r[a + 1] - r[a + 3], ei = i[a + 1] - i[a + 3];
        const double y0r = (sr + tr) * s[a], y0i = (si + ti) * s[a];
        const double y1r = (sr - tr) * s[a + 1], y1i = (si - ti) * s[a + 1];
        const double y2r = (dr + ei) * s[a + 2], y2i = (di - er) * s[a + 2];
        const double y3r = (dr - ei) * s[a + 3], y3i = (di + er) * s[a + 3];
        const double pr = y0r + y1r, pi = y0i + y1i, mr = y0r - y1r, mi = y0i - y1i;
        const double qr = y2r + y3r, qi = y2i + y3i, nr = y2r - y3r, ni = y2i - y3i;
        r[a] = pr + qr;
        i[a] = pi + qi;
        r[a + 2] = pr - qr;
        i[a + 2] = pi - qi;
        r[a + 1] = mr - ni;
        i[a + 1] = mi + nr;
        r[a + 3] = mr + ni;
        i[a + 3] = mi - nr;
    }
}

ORV_VECTOR_CLONES void ConvolveTail2(double* r, double* i, const double* s, int n)
{
    for (int a = 0; a < n; a += 2) {
        Butterfly2(r + a, i + a);
        for (int k = a; k < a + 2; ++k) {
            r[k] *= s[k];
            i[k] *= s[k];
        }
        Butterfly2(r + a, i + a);
    }
}
} // namespace

void LFFT::ForwardScrambled(double* re, double* im) const
{
    for (int q = n / 4; q >= iFirstQuarter; q /= 4)
        DifPass(re, im, Twiddles(q), q, n);
    if (iOrder % 2)
        for (int a = 0; a < n; a += 2)
            Butterfly2(re + a, im + a);
    else
        for (int a = 0; a < n; a += 4)
            Dif4(re + a, im + a);
}

void LFFT::Convolve(double* re, double* im, const double* spectrum) const
{
    ConvolvePart(re, im, spectrum, n);
}

void LFFT::ConvolvePart(double* re, double* im, const double* spectrum, int size) const
{
    // A part of the data that the processor's first cache holds goes through
    // all its passes at once; a larger one is split in four by its first
    // forward pass and joined by its last inverse one.
    if (size > kCachedPoints) {
        const int q = size / 4;
        DifPass(re, im, Twiddles(q), q, size);
        for (int k = 0; k < 4; ++k)
            ConvolvePart(re + k * q, im + k * q, spectrum + k * q, q);
        DitPass(re, im, Twiddles(q), q, size);
        return;
    }
    for (int q = size / 4; q >= iFirstQuarter; q /= 4)
        DifPass(re, im, Twiddles(q), q, size);
    if (iOrder % 2)
        ConvolveTail2(re, im, spectrum, size);
    else
        ConvolveTail4(re, im, spectrum, size);
    for (int q = iFirstQuarter; q <= size / 4; q *= 4)
        DitPass(re, im, Twiddles(q), q, size);
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
