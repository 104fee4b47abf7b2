#pragma once

#include <cstddef>
#include <cstdint>

// Conversions between file sample formats and the internal format. Each
// works on a count of samples (frames x channels), eight per loop pass with a
// plain tail, and is written so the compiler vectorizes it. File-side buffers
// are little-endian bytes. Internal-to-file conversions do not saturate: the
// shifted value is stored modulo 2^16 or 2^8.
namespace LSampleConvert {

// 16-bit signed PCM -> internal (x16).
void Pcm16ToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples);
// 8-bit unsigned PCM -> internal ((b - 128) x 4096).
void Pcm8ToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples);
// Internal -> 16-bit signed: (x + 8) >> 4, low 16 bits.
void InternalToPcm16(const int32_t* pSrc, uint8_t* pDst, size_t nSamples);
// Internal -> 8-bit unsigned: ((x + 2048) >> 12) + 128, low 8 bits.
void InternalToPcm8(const int32_t* pSrc, uint8_t* pDst, size_t nSamples);
// Internal -> 8-bit signed: (x + 2048) >> 12, low 8 bits.
void InternalToPcm8Signed(const int32_t* pSrc, uint8_t* pDst, size_t nSamples);

// Big-endian 16-bit and 8-bit signed, for raw, AU and AIFF data.
void Pcm16BEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples);
void InternalToPcm16BE(const int32_t* pSrc, uint8_t* pDst, size_t nSamples);
void Pcm8SignedToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples);

// Wider samples of AU and AIFF data (BE big-endian, LE little-endian), brought
// to 16 bits as the codec manager does for wide WAV data (LSampleNarrow:
// rounded, saturated, floats clipped at full scale and NaN silent), x16.
void Pcm24BEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples);
void Pcm32BEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples);
void Pcm24LEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples);
void Pcm32LEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples);
void Float32BEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples);
void Float64BEToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples);

// Native int16 buffers, for codecs that work on 16-bit PCM.
void Int16ToInternal(const int16_t* pSrc, int32_t* pDst, size_t nSamples);
void InternalToInt16(const int32_t* pSrc, int16_t* pDst, size_t nSamples);

// Single-sample forms of the rules above.
// The addition wraps in unsigned arithmetic; the shift is arithmetic.
inline int16_t ToPcm16(int32_t x)
{
    return int16_t(uint16_t(int32_t(uint32_t(x) + 8u) >> 4));
}
// The 8-bit forms round, and rounding carries the top of the legal range
// (0x7F800..0x7FFF0) to +128: that one step is held at +127 so a full-scale
// peak does not flip to the most negative value.
inline int32_t Round8(int32_t x)
{
    int32_t r = int32_t(uint32_t(x) + 2048u) >> 12;
    return r == 128 ? 127 : r;
}
inline uint8_t ToPcm8(int32_t x)
{
    return uint8_t(Round8(x) + 128);
}
inline uint8_t ToPcm8Signed(int32_t x)
{
    return uint8_t(Round8(x));
}

} // namespace LSampleConvert
