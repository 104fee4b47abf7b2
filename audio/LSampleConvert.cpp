#include "audio/LSampleConvert.h"

#include "platform/LVectorClones.h"
#include "platform/acm/LSampleNarrow.h"

#include <bit>
#include <cstring>

namespace LSampleConvert {

namespace {
inline int16_t LoadLe16(const uint8_t* p)
{
    return int16_t(uint16_t(p[0] | (uint16_t(p[1]) << 8)));
}
inline void StoreLe16(uint8_t* p, int16_t v)
{
    p[0] = uint8_t(uint16_t(v));
    p[1] = uint8_t(uint16_t(v) >> 8);
}

// kBytes bytes as an unsigned number, big- or little-endian.
template <int kBytes> inline uint64_t LoadBE(const uint8_t* p)
{
    uint64_t u = 0;
    for (int i = 0; i < kBytes; ++i)
        u = (u << 8) | p[i];
    return u;
}
template <int kBytes> inline uint64_t LoadLE(const uint8_t* p)
{
    uint64_t u = 0;
    for (int i = kBytes - 1; i >= 0; --i)
        u = (u << 8) | p[i];
    return u;
}
inline int32_t SignExtend24(uint64_t u)
{
    return int32_t(uint32_t(u) << 8) >> 8;
}
inline double Float32(uint64_t u)
{
    const uint32_t u32 = uint32_t(u);
    float f;
    std::memcpy(&f, &u32, 4);
    return f;
}
inline double Float64(uint64_t u)
{
    double d;
    std::memcpy(&d, &u, 8);
    return d;
}

// kBytes per sample, each made 16-bit by fnNarrow, then x16.
template <int kBytes, class Narrow>
void WideToInternal(const uint8_t* pSrc, int32_t* pDst, size_t n, Narrow fnNarrow)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (size_t k = 0; k < 8; ++k)
            pDst[i + k] = int32_t(fnNarrow(pSrc + kBytes * (i + k))) * 16;
    for (; i < n; ++i)
        pDst[i] = int32_t(fnNarrow(pSrc + kBytes * i)) * 16;
}
} // namespace

void Pcm24BEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t n)
{
    WideToInternal<3>(pSrc, pDst, n,
        [](const uint8_t* p) { return LSampleNarrow::FromPcm24(SignExtend24(LoadBE<3>(p))); });
}

void Pcm32BEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t n)
{
    WideToInternal<4>(pSrc, pDst, n,
        [](const uint8_t* p) { return LSampleNarrow::FromPcm32(int32_t(uint32_t(LoadBE<4>(p)))); });
}

void Pcm24LEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t n)
{
    WideToInternal<3>(pSrc, pDst, n,
        [](const uint8_t* p) { return LSampleNarrow::FromPcm24(SignExtend24(LoadLE<3>(p))); });
}

void Pcm32LEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t n)
{
    WideToInternal<4>(pSrc, pDst, n,
        [](const uint8_t* p) { return LSampleNarrow::FromPcm32(int32_t(uint32_t(LoadLE<4>(p)))); });
}

void Float32BEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t n)
{
    WideToInternal<4>(pSrc, pDst, n,
        [](const uint8_t* p) { return LSampleNarrow::FromFloat(Float32(LoadBE<4>(p))); });
}

void Float64BEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t n)
{
    WideToInternal<8>(pSrc, pDst, n,
        [](const uint8_t* p) { return LSampleNarrow::FromFloat(Float64(LoadBE<8>(p))); });
}

ORV_VECTOR_CLONES void Pcm16ToInternal(const uint8_t* pSrc, int32_t* pDst, size_t n)
{
    if constexpr (std::endian::native == std::endian::little) {
        // Whole 16-bit loads, which vectorize.
        for (size_t i = 0; i < n; ++i) {
            int16_t v;
            std::memcpy(&v, pSrc + 2 * i, 2);
            pDst[i] = int32_t(v) * 16;
        }
        return;
    }
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (size_t k = 0; k < 8; ++k)
            pDst[i + k] = int32_t(LoadLe16(pSrc + 2 * (i + k))) * 16;
    for (; i < n; ++i)
        pDst[i] = int32_t(LoadLe16(pSrc + 2 * i)) * 16;
}

void Pcm8ToInternal(const uint8_t* pSrc, int32_t* pDst, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (size_t k = 0; k < 8; ++k)
            pDst[i + k] = (int32_t(pSrc[i + k]) - 128) * 4096;
    for (; i < n; ++i)
        pDst[i] = (int32_t(pSrc[i]) - 128) * 4096;
}

ORV_VECTOR_CLONES void InternalToPcm16(const int32_t* pSrc, uint8_t* pDst, size_t n)
{
    if constexpr (std::endian::native == std::endian::little) {
        // Whole 16-bit stores, which vectorize.
        for (size_t i = 0; i < n; ++i) {
            const int16_t v = ToPcm16(pSrc[i]);
            std::memcpy(pDst + 2 * i, &v, 2);
        }
        return;
    }
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (size_t k = 0; k < 8; ++k)
            StoreLe16(pDst + 2 * (i + k), ToPcm16(pSrc[i + k]));
    for (; i < n; ++i)
        StoreLe16(pDst + 2 * i, ToPcm16(pSrc[i]));
}

void InternalToPcm8(const int32_t* pSrc, uint8_t* pDst, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (size_t k = 0; k < 8; ++k)
            pDst[i + k] = ToPcm8(pSrc[i + k]);
    for (; i < n; ++i)
        pDst[i] = ToPcm8(pSrc[i]);
}

void InternalToPcm8Signed(const int32_t* pSrc, uint8_t* pDst, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (size_t k = 0; k < 8; ++k)
            pDst[i + k] = ToPcm8Signed(pSrc[i + k]);
    for (; i < n; ++i)
        pDst[i] = ToPcm8Signed(pSrc[i]);
}

void Int16ToInternal(const int16_t* pSrc, int32_t* pDst, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (size_t k = 0; k < 8; ++k)
            pDst[i + k] = int32_t(pSrc[i + k]) * 16;
    for (; i < n; ++i)
        pDst[i] = int32_t(pSrc[i]) * 16;
}

void InternalToInt16(const int32_t* pSrc, int16_t* pDst, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (size_t k = 0; k < 8; ++k)
            pDst[i + k] = ToPcm16(pSrc[i + k]);
    for (; i < n; ++i)
        pDst[i] = ToPcm16(pSrc[i]);
}

void Pcm16BEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t n)
{
    auto Load = [](const uint8_t* p) { return int16_t(uint16_t((uint16_t(p[0]) << 8) | p[1])); };
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (size_t k = 0; k < 8; ++k)
            pDst[i + k] = int32_t(Load(pSrc + 2 * (i + k))) * 16;
    for (; i < n; ++i)
        pDst[i] = int32_t(Load(pSrc + 2 * i)) * 16;
}

void InternalToPcm16BE(const int32_t* pSrc, uint8_t* pDst, size_t n)
{
    auto Store = [](uint8_t* p, int16_t v) {
        p[0] = uint8_t(uint16_t(v) >> 8);
        p[1] = uint8_t(uint16_t(v));
    };
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (size_t k = 0; k < 8; ++k)
            Store(pDst + 2 * (i + k), ToPcm16(pSrc[i + k]));
    for (; i < n; ++i)
        Store(pDst + 2 * i, ToPcm16(pSrc[i]));
}

void Pcm8SignedToInternal(const uint8_t* pSrc, int32_t* pDst, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (size_t k = 0; k < 8; ++k)
            pDst[i + k] = int32_t(int8_t(pSrc[i + k])) * 4096;
    for (; i < n; ++i)
        pDst[i] = int32_t(int8_t(pSrc[i])) * 4096;
}

} // namespace LSampleConvert
