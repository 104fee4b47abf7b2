#pragma once

#include <cstdint>
#include <vector>

// Big-endian fields of AU and AIFF headers.
inline uint32_t GetBE32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline uint16_t GetBE16(const uint8_t* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}
inline void PutBE32(std::vector<uint8_t>& v, uint32_t x)
{
    for (int i = 3; i >= 0; --i)
        v.push_back(uint8_t(x >> (8 * i)));
}
inline void PutBE16(std::vector<uint8_t>& v, uint32_t x)
{
    v.push_back(uint8_t(x >> 8));
    v.push_back(uint8_t(x));
}
