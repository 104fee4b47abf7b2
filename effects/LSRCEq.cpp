#include "effects/LSRCEq.h"

#include "effects/LFFT.h"

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
// Fast convolution by transforms of 8192 points: a window of 8192 input
// frames gives the 4098 outputs whose 4095 taps all lie inside it.
constexpr int kOrder = 13;
constexpr int32_t kN = 1 << kOrder;
constexpr int32_t kStep = kN - 2 * LSRCEq::kHistory;

const LFFT& SharedTransform()
{
    static const LFFT fft(kOrder);
    return fft;
}

// The bound on |sample >> shift| x (the taps' norm) that keeps every sum of
// the fast convolution within 0.4 of its exact integer value.
//
// For integer vectors x, y of N = 2^k points whose cyclic convolution is
// computed by radix-2 transforms in double precision (unit roundoff
// e = 2^-53) with twiddles off by at most b, every result lies within
//   |x| |y| ((1 + e)^(3k) (1 + e sqrt 5)^(3k + 1) (1 + b)^(3k) - 1)
// of the exact one (|.| the Euclidean norm; C. Percival, Math. Comp. 72
// (2003), theorem 5.1). Here k = 13, b <= 2e (LFFT's twiddles), which
// makes the factor below 207 e < 2^-45.3. Each channel's transform carries
// two windows of 8192 samples (real and imaginary part), so |x| <= M
// sqrt(2 x 8192) = M 2^7 with M the largest |sample >> shift|, and |y| is
// the norm of the taps (the 1/N moved into the taps' transform is a power
// of two and changes no rounding). With M |y| <= 2^37 the error stays below
// 2^(37 + 7 - 45.3) < 0.41, so rounding gives the exact sum. The direct
// form's sums then stay below M sqrt(4095) |y| < 2^43 and are exact in
// doubles too. Audio up to full scale through any curve (|y| <= 255 x 256)
// needs no shift.
constexpr double kExactBound = 137438953472.0; // 2^37

// Rounds to the nearest integer, for |x| < 2^51.
inline double RoundToInteger(double x)
{
    constexpr double kMagic = 6755399441055744.0; // 1.5 x 2^52
    return (x + kMagic) - kMagic;
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

void LSRCEq::PrepareSpectrum()
{
    // The taps centred on point 0 of the cyclic window: their transform is
    // real (the imaginary parts left are rounding alone).
    re.assign(size_t(kN), 0.0);
    im.assign(size_t(kN), 0.0);
    re[0] = h[0];
    for (int k = 1; k < kTaps; ++k)
        re[size_t(k)] = re[size_t(kN - k)] = h[size_t(k)];
    SharedTransform().ForwardScrambled(re.data(), im.data());
    spectrum.resize(size_t(kN));
    for (size_t i = 0; i < spectrum.size(); ++i)
        spectrum[i] = re[i] / kN;
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

void LSRCEq::Store(size_t c, int32_t n, double dSum)
{
    const int64_t v = int64_t(RoundToInteger(dSum));
    const int64_t y = iShift <= 15 ? v >> (15 - iShift) : v * (int64_t(1) << (iShift - 15));
    out[size_t(n) * uCh + c] = int32_t(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX));
}

void LSRCEq::FilterDirect()
{
    const size_t uFrames = raw.size() / uCh;
    for (size_t c = 0; c < uCh; ++c)
        for (size_t f = 0; f < uFrames; ++f)
            scaled[c * uFrames + f] = double(raw[f * uCh + c] >> iShift);
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
        for (int32_t n = 0; n < kBlock; ++n)
            Store(c, n, a[n]);
    }
}

void LSRCEq::FilterFast()
{
    // Per channel one transform: the window of outputs 0 .. 4097 as the real
    // part, the window of outputs 4098 .. 8191 as the imaginary part (the
    // taps are real, so the two stay apart). Output n of a window sits at
    // point n + 2047.
    const int32_t iFrames = kHistory + kBlock + kAhead;
    const int s = iShift;
    for (size_t c = 0; c < uCh; ++c) {
        const int32_t* p = raw.data() + c;
        for (int32_t m = 0; m < kN; ++m)
            re[size_t(m)] = double(p[size_t(m) * uCh] >> s);
        for (int32_t m = 0; m < kN; ++m)
            im[size_t(m)] = kStep + m < iFrames ? double(p[size_t(kStep + m) * uCh] >> s) : 0.0;
        SharedTransform().ForwardScrambled(re.data(), im.data());
        for (int32_t i = 0; i < kN; ++i) {
            re[size_t(i)] *= spectrum[size_t(i)];
            im[size_t(i)] *= spectrum[size_t(i)];
        }
        SharedTransform().InverseScrambled(re.data(), im.data());
        for (int32_t n = 0; n < kStep; ++n)
            Store(c, n, re[size_t(kHistory + n)]);
        for (int32_t n = kStep; n < kBlock; ++n)
            Store(c, n, im[size_t(kHistory + n - kStep)]);
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
        std::memcpy(pBuffer + size_t(iDone) * uCh, out.data() + size_t(iUsed) * uCh,
            size_t(n) * uCh * sizeof(int32_t));
        iUsed += n;
        iDone += n;
    }
    iPos = int32_t(std::min<int64_t>(int64_t(iPos) + iFrames, INT32_MAX));
    return iFrames;
}
