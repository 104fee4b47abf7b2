#include "effects/LMeanSquareLevel.h"

#include <algorithm>
#include <cmath>

uint64_t MeanSquare(const int32_t* p, size_t nSamples, size_t uStride)
{
    if (nSamples == 0)
        return 0;
    uint64_t uHigh = 0, uLow = 0;
    for (size_t i = 0; i < nSamples; ++i) {
        const int64_t x = p[i * uStride] >> 5;
        const uint64_t uSquare = uint64_t(x * x);
        uHigh += uSquare >> 13;
        uLow += uSquare & 0x1FFF;
    }
    // floor((high * 8192 + low) / n) without forming the sum.
    const uint64_t n = nSamples;
    return (uHigh / n << 13) + (((uHigh % n) << 13) + uLow) / n;
}

int MeanSquareLevelDb(const int32_t* p, size_t nSamples, size_t uStride)
{
    const uint64_t uMean = MeanSquare(p, nSamples, uStride);
    if (uMean == 0)
        return -127;
    const double dDb = std::round(10.0 * std::log10(double(uMean) / 8388626.0));
    return int(std::clamp(dDb, -127.0, 127.0));
}
