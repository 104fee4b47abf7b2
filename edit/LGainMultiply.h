#pragma once

#include <cstddef>
#include <cstdint>

// Sample x gain (24 fraction bits) without a 64-bit product: three partial
// products of 12-bit pieces, each a 32-bit product that wraps like the
// original arithmetic (computed unsigned so it is defined).
inline int32_t GainMultiply(int32_t s, int32_t g)
{
    auto Mul = [](int32_t a, int32_t b) { return int32_t(uint32_t(a) * uint32_t(b)); };
    int32_t sh = s >> 12, gh = g >> 12;
    uint32_t u = uint32_t(Mul(sh, gh)) + uint32_t(Mul(s & 0xFFF, gh) >> 12)
        + uint32_t(Mul(sh, g & 0xFFF) >> 12);
    return int32_t(u);
}

// In place over nSamples, eight per pass.
inline void GainMultiplyBlock(int32_t* p, size_t nSamples, int32_t iGain)
{
    size_t i = 0;
    for (; i + 8 <= nSamples; i += 8)
        for (size_t k = 0; k < 8; ++k)
            p[i + k] = GainMultiply(p[i + k], iGain);
    for (; i < nSamples; ++i)
        p[i] = GainMultiply(p[i], iGain);
}
