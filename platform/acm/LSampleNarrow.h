#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// Samples wider than 16 bits brought to 16 bits, one rule for every reader:
// integers rounded to nearest and saturated, floats (full scale 1.0 = 32768)
// rounded to nearest (ties to even) and clipped, NaN read as silence. The
// codec manager's PCM and float converters and the AIFF and AU readers use
// these.
namespace LSampleNarrow {

inline int16_t Sat16(int64_t x)
{
    return int16_t(std::clamp<int64_t>(x, -32768, 32767));
}
// A sign-extended 24-bit sample.
inline int16_t FromPcm24(int32_t v)
{
    return Sat16((int64_t(v) + 0x80) >> 8);
}
inline int16_t FromPcm32(int32_t v)
{
    return Sat16((int64_t(v) + 0x8000) >> 16);
}
inline int16_t FromFloat(double x)
{
    const double v = std::nearbyint(x * 32768.0);
    if (!(v > -32768.0))
        return v == v ? int16_t(-32768) : int16_t(0);
    if (v > 32767.0)
        return 32767;
    return int16_t(v);
}

} // namespace LSampleNarrow
