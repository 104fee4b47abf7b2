#include "codecs/g711/LG711.h"

#include <array>

namespace {

constexpr int32_t kUlawBias[8] = { 0, 2112, 6336, 14784, 31680, 65472, 133056, 268224 };
constexpr int32_t kUlawThreshold[8] = { 0, 1984, 6080, 14272, 30656, 63424, 128960, 260032 };
constexpr int32_t kAlawBase[8] = { 128, 4224, 8448, 16896, 33792, 67584, 135168, 270336 };
constexpr int32_t kAlawStep[8] = { 256, 256, 512, 1024, 2048, 4096, 8192, 16384 };
constexpr int32_t kAlawThreshold[8] = { 0, 4096, 8192, 16384, 32768, 65536, 131072, 262144 };

int32_t ExpandUlaw(uint8_t b)
{
    uint32_t u = uint8_t(~b);
    uint32_t e = (u >> 4) & 7;
    int32_t iMag = int32_t((u & 15) << (e + 7)) + kUlawBias[e];
    return (u & 0x80) ? -iMag : iMag;
}

int32_t ExpandAlaw(uint8_t b)
{
    uint32_t v = b ^ 0x55u;
    uint32_t e = (v >> 4) & 7;
    int32_t iMag = kAlawBase[e] + kAlawStep[e] * int32_t(v & 15);
    return (v & 0x80) ? iMag : -iMag;
}

int Segment(uint32_t uMag, const int32_t* pThreshold)
{
    int s = 7;
    while (s > 0 && uMag < uint32_t(pThreshold[s]))
        --s;
    return s;
}

// Decoding is a lookup: 256 entries built once.
std::array<int32_t, 256> MakeTable(int32_t (*fn)(uint8_t))
{
    std::array<int32_t, 256> a {};
    for (int i = 0; i < 256; ++i)
        a[size_t(i)] = fn(uint8_t(i));
    return a;
}

const std::array<int32_t, 256> kUlawTable = MakeTable(ExpandUlaw);
const std::array<int32_t, 256> kAlawTable = MakeTable(ExpandAlaw);

template <class Fn> void ForEachEight(size_t nSamples, Fn fn)
{
    size_t i = 0;
    for (; i + 8 <= nSamples; i += 8)
        for (size_t k = 0; k < 8; ++k)
            fn(i + k);
    for (; i < nSamples; ++i)
        fn(i);
}

} // namespace

int32_t LG711::UlawToInternal(uint8_t b)
{
    return kUlawTable[b];
}
int32_t LG711::AlawToInternal(uint8_t b)
{
    return kAlawTable[b];
}

uint8_t LG711::InternalToUlaw(int32_t x)
{
    uint32_t uSign = x < 0 ? 1 : 0;
    // Magnitude in unsigned so the most negative value does not overflow.
    uint32_t uMag = uSign ? 0u - uint32_t(x) : uint32_t(x);
    int s = Segment(uMag, kUlawThreshold);
    uint32_t uMant = (uMag - uint32_t(kUlawThreshold[s])) >> (s + 7);
    if (uMant > 15)
        uMant = 15;
    return uint8_t(~((uSign << 7) | (uint32_t(s) << 4) | uMant));
}

uint8_t LG711::InternalToAlaw(int32_t x)
{
    uint32_t uMag = x < 0 ? 0u - uint32_t(x) : uint32_t(x);
    int s = Segment(uMag, kAlawThreshold);
    uint32_t uMant = (uMag - uint32_t(kAlawThreshold[s])) / uint32_t(kAlawStep[s]);
    if (uMant > 15)
        uMant = 15;
    return uint8_t(((x >= 0 ? 0x80u : 0u) | (uint32_t(s) << 4) | uMant) ^ 0x55u);
}

void LG711::UlawToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples)
{
    ForEachEight(nSamples, [&](size_t i) { pDst[i] = kUlawTable[pSrc[i]]; });
}

void LG711::AlawToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples)
{
    ForEachEight(nSamples, [&](size_t i) { pDst[i] = kAlawTable[pSrc[i]]; });
}

void LG711::InternalToUlaw(const int32_t* pSrc, uint8_t* pDst, size_t nSamples)
{
    ForEachEight(nSamples, [&](size_t i) { pDst[i] = InternalToUlaw(pSrc[i]); });
}

void LG711::InternalToAlaw(const int32_t* pSrc, uint8_t* pDst, size_t nSamples)
{
    ForEachEight(nSamples, [&](size_t i) { pDst[i] = InternalToAlaw(pSrc[i]); });
}
