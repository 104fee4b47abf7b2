#include "effects/LRatePhaseTable.h"

#include <cmath>
#include <cstdint>
#include <numeric>

namespace {
constexpr double kBeta = 4.538;
constexpr double kPi = 3.14159265358979323846;

double BesselI0(double x)
{
    const double x2 = x * x;
    double dTerm = 1.0;
    double dSum = 1.0;
    for (int m = 1; m <= 6; ++m) {
        dTerm *= x2 / double(4 * m * m);
        dSum += dTerm;
    }
    return dSum;
}

int32_t RoundAway(double d)
{
    return int32_t(d < 0 ? d - 0.5 : d + 0.5);
}

int32_t Coefficient(double dCutoff, int p, int iPhases, int k)
{
    double t = double(k - 31) - double(p) / iPhases;
    if (t == 0)
        return int32_t(65536.0 * dCutoff + 0.5);
    double x = kPi * dCutoff * t;
    return RoundAway(65536.0 * dCutoff * std::sin(x) / x * LRatePhaseTable::Kaiser(t));
}
} // namespace

double LRatePhaseTable::Kaiser(double t)
{
    static const double dNorm = BesselI0(kBeta);
    double d = 1.0 - t * t / 1024.0;
    return BesselI0(kBeta * std::sqrt(d < 0 ? 0 : d)) / dNorm;
}

LRatePhaseTable::LRatePhaseTable(int32_t iFrom, int32_t iTo, bool bWide)
{
    const int32_t iGcd = std::gcd(iFrom, iTo);
    uIn = uint32_t(iFrom / iGcd);
    uOut = uint32_t(iTo / iGcd);
    iPhases = int(std::min<uint32_t>(uOut, kMaxPhases));
    uPhaseScale = (uint64_t(iPhases) << 32) / uOut;
    if (iFrom < iTo)
        dCutoff = 0.975;
    else
        dCutoff = double(iTo) / double(iFrom) - (bWide ? 0.09375 : 0.046875);

    // Row P is row 0 one frame later: the nearest phase may round up to it.
    const size_t uRows = size_t(iPhases) + 1;
    rows.assign(uRows * kStride + 32, 0);
    pRows
        = rows.data() + (64 - reinterpret_cast<uintptr_t>(rows.data()) % 64) % 64 / sizeof(int16_t);
    excess.assign(uRows * 2, 0);
    for (int p = 0; p <= iPhases; ++p) {
        int16_t* pRow = pRows + size_t(p) * kStride;
        for (int k = 0; k < kTaps; ++k) {
            int32_t c = Coefficient(dCutoff, p, iPhases, k);
            // Taps away from the centre are at most 65536 ÷ π.
            int32_t iRow = std::max(-32767, std::min(32767, c));
            pRow[k] = int16_t(iRow);
            if (k == 31 || k == 32)
                excess[size_t(p) * 2 + size_t(k - 31)] = c - iRow;
        }
    }
}

int32_t LRatePhaseTable::GetTap(int p, int k) const
{
    int32_t c = GetRow(p)[k];
    return k == 31 || k == 32 ? c + GetExcess(p)[k - 31] : c;
}
