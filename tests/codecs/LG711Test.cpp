#include "codecs/g711/LG711.h"

#include <gtest/gtest.h>

// Every code decodes to a value (each checked against ffmpeg in ACMWavePeerFiles) that encodes
// back to an equivalent code, and the encoder is monotonic over the whole internal range.
TEST(LG711, RoundTripAndMonotonic)
{
    for (int b = 0; b < 256; ++b) {
        int32_t u = LG711::UlawToInternal(uint8_t(b));
        EXPECT_EQ(LG711::UlawToInternal(LG711::InternalToUlaw(u)), u) << b;
        int32_t a = LG711::AlawToInternal(uint8_t(b));
        EXPECT_EQ(LG711::AlawToInternal(LG711::InternalToAlaw(a)), a) << b;
    }
    int32_t iPrevU = LG711::UlawToInternal(LG711::InternalToUlaw(-0x80000));
    int32_t iPrevA = LG711::AlawToInternal(LG711::InternalToAlaw(-0x80000));
    for (int32_t x = -0x80000; x <= 0x80000; x += 37) {
        int32_t u = LG711::UlawToInternal(LG711::InternalToUlaw(x));
        int32_t a = LG711::AlawToInternal(LG711::InternalToAlaw(x));
        ASSERT_GE(u, iPrevU) << x;
        ASSERT_GE(a, iPrevA) << x;
        iPrevU = u;
        iPrevA = a;
    }
    // The extremes do not wrap.
    EXPECT_LT(LG711::UlawToInternal(LG711::InternalToUlaw(INT32_MIN)), 0);
    EXPECT_GT(LG711::AlawToInternal(LG711::InternalToAlaw(INT32_MAX)), 0);
}
