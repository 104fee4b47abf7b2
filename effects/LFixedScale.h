#pragma once

#include <algorithm>
#include <cstdint>

// Small fixed-point pieces of the feedback effects, written so that the
// loops using them vectorize with 32-bit lanes.

// a + b with two's-complement wrap-around.
inline int32_t WrapAdd(int32_t a, int32_t b)
{
    return int32_t(uint32_t(a) + uint32_t(b));
}

// floor(x * g / 2^kShift), exact for 0 <= g < 2^kShift without a 64-bit
// product: x = 2^kShift * hi + lo, and |hi * g| < 2^31.
template <int kShift> inline int32_t MulShift(int32_t x, int32_t g)
{
    const int32_t hi = x >> kShift;
    const int32_t lo = x & ((1 << kShift) - 1);
    return int32_t(uint32_t(hi) * uint32_t(g) + uint32_t((lo * g) >> kShift));
}

inline int32_t MulShift8(int32_t x, int32_t g)
{
    return MulShift<8>(x, g);
}

// A peak bound times uNum / uDen, held within the signed 32-bit range.
inline uint32_t ScaledPeak(uint32_t uPeak, uint32_t uNum, uint32_t uDen)
{
    const uint64_t u = uint64_t(uPeak) * uNum / std::max<uint32_t>(uDen, 1);
    return uint32_t(std::min<uint64_t>(u, INT32_MAX));
}
