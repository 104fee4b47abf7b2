#include "effects/LSRCEq.h"

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

LSRCEq::LSRCEq(SourceHandle hUpstream, const LEqGainTable& table)
    : LSRCFilterBase(std::move(hUpstream))
    , uCh(size_t(GetChannels()))
    , raw(size_t(kHistory + kBlock + kAhead) * uCh)
    , scaled(raw.size())
    , out(size_t(kBlock) * uCh)
    , acc(size_t(kBlock))
{
    const auto taps = Design(table);
    for (int k = 0; k < kTaps; ++k) {
        h[size_t(k)] = double(taps[size_t(k)]);
        dTapSum += std::abs(h[size_t(k)]) * (k ? 2 : 1);
    }
    // The output is at most the sum of the taps' magnitudes times the input.
    const uint64_t uPeak = uint64_t(double(GetPeak()) * dTapSum / 32768.0);
    SetPeak(uint32_t(std::min<uint64_t>(uPeak, INT32_MAX)));
    iPos = hSource->GetPosition();
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
    int64_t iPeak = 0;
    for (int32_t v : raw)
        iPeak = std::max(iPeak, std::abs(int64_t(v)));
    // Each output is a sum of integer products whose magnitudes add up to
    // at most peak x (the taps' magnitudes summed); below 2^52 every partial
    // sum is an exact integer in a double, in any order. Only loud audio
    // through a steep curve is shifted down for that.
    iShift = 0;
    while (double(iPeak >> iShift) * dTapSum >= 4503599627370496.0)
        ++iShift;
    const size_t uFrames = raw.size() / uCh;
    for (size_t c = 0; c < uCh; ++c)
        for (size_t f = 0; f < uFrames; ++f)
            scaled[c * uFrames + f] = double(raw[f * uCh + c] >> iShift);
}

void LSRCEq::Filter()
{
    const size_t uFrames = raw.size() / uCh;
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
        for (int32_t n = 0; n < kBlock; ++n) {
            const int64_t v = int64_t(a[n]);
            const int64_t y = iShift <= 15 ? v >> (15 - iShift) : v * (int64_t(1) << (iShift - 15));
            out[size_t(n) * uCh + c] = int32_t(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX));
        }
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
