#pragma once

#include "audio/LSampleConvert.h"
#include "codecs/g711/LG711.h"

#include <cstdint>

// The sample encodings of raw, AU and AIFF data, as traits for the raw
// reader and writer: bytes per sample, reader peak bound, and the two
// converters over a count of samples. The wide encodings at the end are
// read only (no FromInternal): files are written with 16 bits.
struct LEncPcm16LE {
    static constexpr int kBytes = 2;
    static constexpr uint32_t kPeak = 0x7FFF0;
    static void ToInternal(const uint8_t* s, int32_t* d, size_t n)
    {
        LSampleConvert::Pcm16ToInternal(s, d, n);
    }
    static void FromInternal(const int32_t* s, uint8_t* d, size_t n)
    {
        LSampleConvert::InternalToPcm16(s, d, n);
    }
};
struct LEncPcm16BE {
    static constexpr int kBytes = 2;
    static constexpr uint32_t kPeak = 0x7FFF0;
    static void ToInternal(const uint8_t* s, int32_t* d, size_t n)
    {
        LSampleConvert::Pcm16BEToInternal(s, d, n);
    }
    static void FromInternal(const int32_t* s, uint8_t* d, size_t n)
    {
        LSampleConvert::InternalToPcm16BE(s, d, n);
    }
};
struct LEncPcm8U {
    static constexpr int kBytes = 1;
    static constexpr uint32_t kPeak = 0x7FFF0;
    static void ToInternal(const uint8_t* s, int32_t* d, size_t n)
    {
        LSampleConvert::Pcm8ToInternal(s, d, n);
    }
    static void FromInternal(const int32_t* s, uint8_t* d, size_t n)
    {
        LSampleConvert::InternalToPcm8(s, d, n);
    }
};
struct LEncPcm8S {
    static constexpr int kBytes = 1;
    static constexpr uint32_t kPeak = 0x7FFF0;
    static void ToInternal(const uint8_t* s, int32_t* d, size_t n)
    {
        LSampleConvert::Pcm8SignedToInternal(s, d, n);
    }
    static void FromInternal(const int32_t* s, uint8_t* d, size_t n)
    {
        LSampleConvert::InternalToPcm8Signed(s, d, n);
    }
};
struct LEncUlaw {
    static constexpr int kBytes = 1;
    static constexpr uint32_t kPeak = 0x7E000;
    static void ToInternal(const uint8_t* s, int32_t* d, size_t n)
    {
        LG711::UlawToInternal(s, d, n);
    }
    static void FromInternal(const int32_t* s, uint8_t* d, size_t n)
    {
        LG711::InternalToUlaw(s, d, n);
    }
};
struct LEncAlaw {
    static constexpr int kBytes = 1;
    static constexpr uint32_t kPeak = 0x7E000;
    static void ToInternal(const uint8_t* s, int32_t* d, size_t n)
    {
        LG711::AlawToInternal(s, d, n);
    }
    static void FromInternal(const int32_t* s, uint8_t* d, size_t n)
    {
        LG711::InternalToAlaw(s, d, n);
    }
};

// Wide samples, narrowed to 16 bits and so bounded as 16-bit data is.
template <int kBytesIn, void (*fnToInternal)(const uint8_t*, int32_t*, size_t)> struct LEncWide {
    static constexpr int kBytes = kBytesIn;
    static constexpr uint32_t kPeak = 0x7FFF0;
    static void ToInternal(const uint8_t* s, int32_t* d, size_t n) { fnToInternal(s, d, n); }
};
using LEncPcm24BE = LEncWide<3, LSampleConvert::Pcm24BEToInternal>;
using LEncPcm32BE = LEncWide<4, LSampleConvert::Pcm32BEToInternal>;
using LEncPcm24LE = LEncWide<3, LSampleConvert::Pcm24LEToInternal>;
using LEncPcm32LE = LEncWide<4, LSampleConvert::Pcm32LEToInternal>;
using LEncFloat32BE = LEncWide<4, LSampleConvert::Float32BEToInternal>;
using LEncFloat64BE = LEncWide<8, LSampleConvert::Float64BEToInternal>;
