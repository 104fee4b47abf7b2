#pragma once

#include <cstdint>

// The basic arithmetic of the GSM 06.10 full-rate codec. Every operation
// saturates where the codec's bit-exact definition saturates, so encoders and
// decoders built on it agree sample for sample with other conforming ones.
struct LGSMMath {
    static int16_t Sat16(int32_t x)
    {
        return int16_t(x < -32768 ? -32768 : (x > 32767 ? 32767 : x));
    }
    static int32_t Sat32(int64_t x)
    {
        return int32_t(x < INT32_MIN ? INT32_MIN : (x > INT32_MAX ? INT32_MAX : x));
    }
    static int16_t Add(int16_t a, int16_t b) { return Sat16(int32_t(a) + b); }
    static int16_t Sub(int16_t a, int16_t b) { return Sat16(int32_t(a) - b); }
    // Fractional product (a * b) >> 15; -1 * -1 gives the largest value.
    static int16_t Mult(int16_t a, int16_t b)
    {
        if (a == -32768 && b == -32768)
            return 32767;
        return int16_t((int32_t(a) * b) >> 15);
    }
    // Fractional product with rounding.
    static int16_t MultR(int16_t a, int16_t b)
    {
        if (a == -32768 && b == -32768)
            return 32767;
        return int16_t((int32_t(a) * b + 16384) >> 15);
    }
    static int16_t Abs(int16_t a) { return a >= 0 ? a : (a == -32768 ? 32767 : int16_t(-a)); }
    // 32-bit fractional product (a * b) << 1.
    static int32_t LMult(int16_t a, int16_t b)
    {
        if (a == -32768 && b == -32768)
            return INT32_MAX;
        return int32_t(a) * b * 2;
    }
    static int32_t LAdd(int32_t a, int32_t b) { return Sat32(int64_t(a) + b); }
    static int32_t LSub(int32_t a, int32_t b) { return Sat32(int64_t(a) - b); }
    // Left shifts that bring a non-zero value into normal form (redundant
    // sign bits); callers never ask for 0.
    static int Norm(int32_t x) { return __builtin_clrsb(x); }
    // Left shift done on the bit pattern, so it is defined for negative values.
    static int32_t Shl32(int32_t x, int n) { return int32_t(uint32_t(x) << n); }
    // Shifts of 16-bit values whose count may be negative (then the other way).
    static int16_t Asr(int16_t a, int n)
    {
        if (n >= 16)
            return int16_t(a < 0 ? -1 : 0);
        if (n <= -16)
            return 0;
        if (n < 0)
            return int16_t(uint16_t(uint32_t(int32_t(a)) << -n));
        return int16_t(a >> n);
    }
    static int16_t Asl(int16_t a, int n)
    {
        if (n >= 16)
            return 0;
        if (n <= -16)
            return int16_t(a < 0 ? -1 : 0);
        if (n < 0)
            return int16_t(a >> -n);
        return int16_t(uint16_t(uint32_t(int32_t(a)) << n));
    }
    // 15-bit fractional quotient num / denum for 0 <= num <= denum.
    static int16_t Div(int16_t num, int16_t denum)
    {
        if (num == 0)
            return 0;
        int32_t lNum = num;
        int32_t lDenum = denum;
        int32_t iDiv = 0;
        for (int k = 0; k < 15; ++k) {
            iDiv <<= 1;
            lNum <<= 1;
            if (lNum >= lDenum) {
                lNum -= lDenum;
                ++iDiv;
            }
        }
        return int16_t(iDiv);
    }
};
