#pragma once

#include <cstddef>
#include <cstdint>

// ITU-T G.711 companding by segment tables, in internal units (16 times the
// 16-bit scale). Shared by the raw, AU and WAV readers and writers and by the
// codec manager's A-law and µ-law drivers.
class LG711 {
public:
    static int32_t UlawToInternal(uint8_t b);
    static uint8_t InternalToUlaw(int32_t x);
    static int32_t AlawToInternal(uint8_t b);
    static uint8_t InternalToAlaw(int32_t x);

    // Block forms over nSamples, eight per loop pass with a tail.
    static void UlawToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples);
    static void InternalToUlaw(const int32_t* pSrc, uint8_t* pDst, size_t nSamples);
    static void AlawToInternal(const uint8_t* pSrc, int32_t* pDst, size_t nSamples);
    static void InternalToAlaw(const int32_t* pSrc, uint8_t* pDst, size_t nSamples);

    // Largest decoded magnitude (µ-law 0x00/0x80): 513984.
    static constexpr uint32_t kPeak = 0x7E000;
};
