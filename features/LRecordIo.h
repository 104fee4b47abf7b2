#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// Little-endian fields of the program's own fixed-size records. Text fields
// are NUL-terminated and zero-padded to their width; reading forces the last
// byte to NUL so a damaged record cannot run past its field.
namespace LRecordIo {
inline void PutU32(uint8_t* p, uint32_t u)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(u >> (8 * i));
}
inline uint32_t GetU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void PutI32(uint8_t* p, int32_t i)
{
    PutU32(p, uint32_t(i));
}
inline int32_t GetI32(const uint8_t* p)
{
    return int32_t(GetU32(p));
}

// Writes at most iWidth - 1 bytes of the text and pads with NULs.
inline void PutText(uint8_t* p, size_t iWidth, const std::string& str)
{
    std::memset(p, 0, iWidth);
    std::memcpy(p, str.data(), std::min(str.size(), iWidth - 1));
}
inline std::string GetText(const uint8_t* p, size_t iWidth)
{
    return std::string(reinterpret_cast<const char*>(p), strnlen((const char*)p, iWidth - 1));
}
} // namespace LRecordIo
