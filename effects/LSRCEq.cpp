#include "effects/LSRCEq.h"

#include "effects/LFFT.h"
#include "platform/LVectorClones.h"

#include <algorithm>
#include <cmath>
#include <cstring>

LEqGainTable EqGainTable(const PointList& list, int32_t iRate)
{
    LEqGainTable table;
    const int n = std::min<int>(list.nPoints, PointList::POINTLISTMAX);
    if (n == 0) {
        table.fill(128);
        return table;
    }
    const double dScale = 320000.0 / double(iRate > 0 ? iRate : 44100);
    const int kLast = int(table.size()) - 1;
    int iStart = 0, iWritten = -1;
    for (int i = 0; i + 1 < n; ++i) {
        const int iEnd = int(list.aPoints[i + 1].x * dScale);
        if (iEnd <= iStart)
            continue;
        const int y0 = list.aPoints[i].y;
        const double dSlope = double(list.aPoints[i + 1].y - y0) / double(iEnd - iStart);
        for (int k = iStart; k <= std::min(iEnd, kLast); ++k)
            table[size_t(k)] = uint8_t(y0 + int(double(k - iStart) * dSlope));
        iWritten = std::min(iEnd, kLast);
        iStart = iEnd;
    }
    std::fill(table.begin() + (iWritten + 1), table.end(), list.aPoints[n - 1].y);
    return table;
}

std::array<int32_t, LSRCEq::kTaps> LSRCEq::Design(const LEqGainTable& table)
{
    // cos(u i pi / 2048) repeats every 4096 steps of u i.
    constexpr int kPeriod = 2 * kTaps;
    static const std::vector<double> cosines = [] {
        std::vector<double> v(kPeriod);
        for (int m = 0; m < kPeriod; ++m)
            v[size_t(m)] = std::cos(m * 3.14159265358979323846 / kTaps);
        return v;
    }();
    // The bins 0 .. 2047 and the Nyquist bin 2048 (the last gain again),
    // the two ends at half weight: then a flat table sums to 0 for every
    // u but 0.
    std::array<int32_t, kTaps> taps;
    const double dNyquist = 0.5 * table[kTaps - 1];
    for (int u = 0; u < kTaps; ++u) {
        double d = 0.5 * table[0];
        unsigned m = 0;
        for (int i = 1; i < kTaps; ++i) {
            m = (m + unsigned(u)) % kPeriod;
            d += table[size_t(i)] * cosines[m];
        }
        d += dNyquist * cosines[(unsigned(u) * kTaps) % kPeriod];
        taps[size_t(u)] = (int32_t(std::trunc(d)) + 4) >> 3;
    }
    return taps;
}

namespace {
// Fast convolution by transforms of 16384 points: a window of 16384 input
// frames gives the 12290 outputs whose 4095 taps all lie inside it.
constexpr int kOrder = 14;
constexpr int32_t kN = 1 << kOrder;
static_assert(kN == LSRCEq::kWindow);
constexpr int32_t kStep = kN - 2 * LSRCEq::kHistory;
static_assert(LSRCEq::kBlock == 2 * kStep
    && kStep + kN <= LSRCEq::kHistory + LSRCEq::kBlock + LSRCEq::kAhead);

const LFFT& SharedTransform()
{
    static const LFFT fft(kOrder);
    return fft;
}

// The bound on |sample >> shift| x (the taps' norm) that keeps every sum of
// the fast convolution within 0.29 of its exact integer value.
//
// LFFT's passes are levels of sums and differences, each mapping pairs
// (a, b) to (a + b, a - b) or (a - i b, a + i b) (sqrt 2 times a unitary
// map) with each part rounded once, so each value is off by at most e times
// its modulus (e = 2^-53), and levels of products by twiddles w' within
// b < e of the exact unit ones (each part rounded once from long double),
// so each product is off by at most (1 + b)(1 + e sqrt 5) - 1 relative, the
// bound of a complex product (no fused multiply-add: ISO C++ without it).
// At N = 2^14 there are L = 14 levels of sums and T = 6 of twiddles; let
//   1 + f = (1 + e)^L ((1 + b)(1 + e sqrt 5))^T.
// - Level by level, the computed forward transform X' of a vector x is off
//   from the exact X by at most f |X| in the Euclidean norm |.|.
// - An inverse transform's output k is a sum over single paths from each
//   input j, each path a product of exact unit factors and of at most L + T
//   roundings, so it is off by at most f times |input|_1.
// With x the data, y the taps, S = transform(y) / N (exactly real, as the
// taps are symmetric: keeping only the real part of the computed S' makes
// it no worse, and 1/N is exact) and the products P' = X' S' each rounded
// once, Cauchy-Schwarz gives |X S|_1 <= |X| |S| = |x| |y|, and every output
// is off by at most
//   f |P'|_1 + |P' - X S|_1 <= ((1 + f)^3 (1 + e) - 1) |x| |y|
// (C. Percival's argument, Math. Comp. 72 (2003), theorem 5.1, here with
// radix-4 passes). The factor is below (3 L + 3 T (1 + sqrt 5) + 1) e
// (1 + 2^-40) < 102 e < 2^-46.3. Each transform carries two windows of
// 16384 samples (real and imaginary part), so |x| <= M sqrt(2 x 16384) =
// M 2^7.5 with M the largest |sample >> shift|, and |y| is the taps' norm.
// With M |y| <= 2^37 the error stays below 2^(37 + 7.5 - 46.3) < 0.29, so
// rounding gives the exact sum. The direct form's sums then stay below
// M sqrt(4095) |y| < 2^43 and are exact in doubles too. Audio up to full
// scale through any curve (|y| <= 255 x 256) needs no shift.
constexpr double kExactBound = 137438953472.0; // 2^37

// Rounds to the nearest integer, for |x| < 2^51.
inline double RoundToInteger(double x)
{
    constexpr double kMagic = 6755399441055744.0; // 1.5 x 2^52
    return (x + kMagic) - kMagic;
}

// Every uStride-th sample from pFrom, shifted right by iShift, as doubles.
ORV_VECTOR_CLONES void Deinterleave(
    double* __restrict pTo, const int32_t* __restrict pFrom, size_t uStride, int iShift, int32_t n)
{
    for (int32_t m = 0; m < n; ++m)
        pTo[m] = double(pFrom[size_t(m) * uStride] >> iShift);
}

// Each exact sum rounded, times dScale (a power of two) and rounded down,
// held within 32 bits: in doubles the integer arithmetic shift, exactly.
// Rounding down is rounding to nearest after subtracting dBias (0.5 -
// dScale / 2 when dScale < 1, else 0): the sums are below 2^47, so the
// difference is exact and lies at least dScale / 2 from a tie. Unlike floor
// this vectorizes. Past 2^51 the rounding fails, but such values keep their
// sign and are clamped.
ORV_VECTOR_CLONES void StoreSums(
    int32_t* __restrict pTo, const double* __restrict pSums, int32_t n, double dScale, double dBias)
{
    for (int32_t m = 0; m < n; ++m) {
        const double y = RoundToInteger(RoundToInteger(pSums[m]) * dScale - dBias);
        pTo[m] = int32_t(std::min(std::max(y, double(INT32_MIN)), double(INT32_MAX)));
    }
}
} // namespace

LSRCEq::LSRCEq(SourceHandle hUpstream, const LEqGainTable& table, Method eMethod_)
    : LSRCFilterBase(std::move(hUpstream))
    , eMethod(eMethod_)
    , uCh(size_t(GetChannels()))
    , raw(size_t(kHistory + kBlock + kAhead) * uCh)
    , out(size_t(kBlock) * uCh)
{
    const auto taps = Design(table);
    double dTapSum = 0, dSquares = 0; // h[0] and twice every other tap
    for (int k = 0; k < kTaps; ++k) {
        h[size_t(k)] = double(taps[size_t(k)]);
        dTapSum += std::abs(h[size_t(k)]) * (k ? 2 : 1);
        dSquares += h[size_t(k)] * h[size_t(k)] * (k ? 2 : 1);
    }
    dNorm = std::sqrt(dSquares);
    // The output is at most the sum of the taps' magnitudes times the input.
    const uint64_t uPeak = uint64_t(double(GetPeak()) * dTapSum / 32768.0);
    SetPeak(uint32_t(std::min<uint64_t>(uPeak, INT32_MAX)));
    iPos = hSource->GetPosition();
    if (eMethod == Method::Direct) {
        scaled.resize(raw.size());
        acc.resize(size_t(kBlock));
    } else {
        PrepareSpectrum();
    }
}

// The three arrays lie 256 bytes apart from a multiple of 4 KiB: at equal
// offsets within a page a load waits for a store to the other array.
constexpr size_t kFastGap = 32;

double* LSRCEq::Im()
{
    return Re() + kN + kFastGap;
}

double* LSRCEq::Spectrum()
{
    return Im() + kN + kFastGap;
}

void LSRCEq::PrepareSpectrum()
{
    // 64-byte aligned, for whole cache lines and vectors.
    fast.assign(3 * size_t(kN) + 2 * kFastGap + 8, 0.0);
    uFastAt = (64 - reinterpret_cast<uintptr_t>(fast.data()) % 64) % 64 / sizeof(double);
    // The taps centred on point 0 of the cyclic window: their transform is
    // real (the imaginary parts left are rounding alone).
    double* re = Re();
    re[0] = h[0];
    for (int k = 1; k < kTaps; ++k)
        re[size_t(k)] = re[size_t(kN - k)] = h[size_t(k)];
    SharedTransform().ForwardScrambled(re, Im());
    for (int32_t i = 0; i < kN; ++i)
        Spectrum()[i] = re[i] / kN;
}

void LSRCEq::Seek(int32_t iFrame)
{
    Start(iFrame);
}

void LSRCEq::Fill(int32_t iAt, int32_t iFrames)
{
    if (iFrames > 0)
        hSource->Read(raw.data() + size_t(iAt) * uCh, iFrames);
}

void LSRCEq::Start(int32_t iFrame)
{
    // Output frame iFrame sits at the block's start; its history begins
    // 2047 frames earlier, where zeros stand for what lies before frame 0.
    const int32_t iZero = int32_t(std::clamp<int64_t>(int64_t(kHistory) - iFrame, 0, kHistory));
    std::fill(raw.begin(), raw.begin() + ptrdiff_t(size_t(iZero) * uCh), 0);
    hSource->Seek(int32_t(int64_t(iFrame) - kHistory + iZero));
    Fill(iZero, kHistory + kBlock + kAhead - iZero);
    iPos = iFrame;
    ApplyInBufferScaling();
    Filter();
    iUsed = 0;
    bStarted = true;
}

void LSRCEq::NextBlock()
{
    // The last 4095 frames (the new history and the start of the new block's
    // look-back) move to the front; 8192 new frames follow.
    const size_t uKeep = size_t(kHistory + kAhead) * uCh;
    std::memmove(raw.data(), raw.data() + size_t(kBlock) * uCh, uKeep * sizeof(int32_t));
    Fill(kHistory + kAhead, kBlock);
    ApplyInBufferScaling();
    Filter();
    iUsed = 0;
}

void LSRCEq::ApplyInBufferScaling()
{
    uint32_t uPeak = 0;
    for (int32_t v : raw)
        uPeak = std::max(uPeak, v < 0 ? 0u - uint32_t(v) : uint32_t(v));
    // Only loud audio through a steep curve is shifted down (see kExactBound).
    iShift = 0;
    while (double((uPeak >> iShift) + 1) * dNorm > kExactBound)
        ++iShift;
}

void LSRCEq::Filter()
{
    if (eMethod == Method::Direct)
        FilterDirect();
    else
        FilterFast();
}

void LSRCEq::Store(size_t c, int32_t iFrom, const double* pSums, int32_t n)
{
    // The sums carry the taps' 2^15 and lack the shift.
    const double dScale = std::ldexp(1.0, iShift - 15);
    StoreSums(out.data() + c * size_t(kBlock) + size_t(iFrom), pSums, n, dScale,
        dScale < 1 ? 0.5 - dScale / 2 : 0.0);
}

void LSRCEq::FilterDirect()
{
    const size_t uFrames = raw.size() / uCh;
    for (size_t c = 0; c < uCh; ++c)
        Deinterleave(scaled.data() + c * uFrames, raw.data() + c, uCh, iShift, int32_t(uFrames));
    for (size_t c = 0; c < uCh; ++c) {
        const double* b = scaled.data() + c * uFrames + kHistory; // b[n]: output frame n
        double* a = acc.data();
        const double h0 = h[0];
        for (int32_t n = 0; n < kBlock; ++n)
            a[n] = h0 * b[n];
        // One tap at a time over the whole block: a loop without carried
        // dependency, and exact whatever the order (integer values).
        for (int k = 1; k < kTaps; ++k) {
            const double hk = h[size_t(k)];
            if (hk == 0)
                continue;
            const double* bl = b - k;
            const double* br = b + k;
            for (int32_t n = 0; n < kBlock; ++n)
                a[n] += (bl[n] + br[n]) * hk;
        }
        Store(c, 0, a, kBlock);
    }
}

void LSRCEq::FilterFast()
{
    // Per channel one transform: the window of outputs 0 .. kStep - 1 as
    // the real part, the window of the next kStep outputs as the imaginary
    // part (the taps are real, so the two stay apart). Output n of a window
    // sits at point n + 2047.
    for (size_t c = 0; c < uCh; ++c) {
        Deinterleave(Re(), raw.data() + c, uCh, iShift, kN);
        Deinterleave(Im(), raw.data() + size_t(kStep) * uCh + c, uCh, iShift, kN);
        SharedTransform().Convolve(Re(), Im(), Spectrum());
        Store(c, 0, Re() + kHistory, kStep);
        Store(c, kStep, Im() + kHistory, kStep);
    }
}

int32_t LSRCEq::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    if (!bStarted)
        Start(iPos);
    for (int32_t iDone = 0; iDone < iFrames;) {
        if (iUsed == kBlock)
            NextBlock();
        const int32_t n = std::min(iFrames - iDone, kBlock - iUsed);
        for (size_t c = 0; c < uCh; ++c) {
            const int32_t* pFrom = out.data() + c * size_t(kBlock) + size_t(iUsed);
            int32_t* pTo = pBuffer + size_t(iDone) * uCh + c;
            for (int32_t f = 0; f < n; ++f)
                pTo[size_t(f) * uCh] = pFrom[f];
        }
        iUsed += n;
        iDone += n;
    }
    iPos = int32_t(std::min<int64_t>(int64_t(iPos) + iFrames, INT32_MAX));
    return iFrames;
}
