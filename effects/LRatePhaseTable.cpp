#include "effects/LRatePhaseTable.h"

#include <cmath>

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

int32_t RoundAway(double d) { return int32_t(d < 0 ? d - 0.5 : d + 0.5); }
} // namespace

double LRatePhaseTable::Kaiser(double t)
{
    double d = 1.0 - t * t / 1024.0;
    return BesselI0(kBeta * std::sqrt(d < 0 ? 0 : d)) / BesselI0(kBeta);
}

LRatePhaseTable::LRatePhaseTable(int32_t iFrom, int32_t iTo, bool bWide)
{
    const double dRatio = double(iFrom) / double(iTo);
    double dBest = dRatio;
    for (int p = 1; p <= 255; ++p) {
        int32_t n = int32_t(dRatio * p + 0.5);
        double dError = std::fabs(dRatio - double(n) / p);
        if (dError < dBest) {
            dBest = dError;
            iPhases = p;
            if (dError < 0.001)
                break;
        }
    }
    iStep = int(std::lround(dRatio * iPhases));
    if (iFrom < iTo)
        dCutoff = 0.975;
    else
        dCutoff = double(iTo) / double(iFrom) - (bWide ? 0.09375 : 0.046875);

    coef.assign(size_t(iPhases) * kStride, 0);
    for (int p = 0; p < iPhases; ++p) {
        int32_t* pc = coef.data() + size_t(p) * kStride;
        for (int k = 0; k < kTaps; ++k) {
            double t = double(k - 31) - double(p) / iPhases;
            if (t == 0) {
                pc[k] = int32_t(65536.0 * dCutoff + 0.5);
                continue;
            }
            double x = kPi * dCutoff * t;
            pc[k] = RoundAway(65536.0 * dCutoff * std::sin(x) / x * Kaiser(t));
        }
    }
}
