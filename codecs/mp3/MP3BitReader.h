#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Most-significant-bit-first reader over a byte buffer. Reading beyond the
// buffer yields zero bits, so corrupt lengths cannot read outside it.
class MP3BitReader {
public:
    MP3BitReader(const uint8_t* p, size_t nBytes)
        : pData(p)
        , nBytes(nBytes)
    {
    }

    // Up to 25 bits without consuming them.
    uint32_t Peek(int n) const
    {
        size_t byte = uPos >> 3;
        uint32_t word;
        if (byte + 4 <= nBytes) {
            std::memcpy(&word, pData + byte, 4);
            word = __builtin_bswap32(word);
        } else {
            word = 0;
            for (size_t i = 0; i < 4; ++i)
                word = word << 8 | (byte + i < nBytes ? pData[byte + i] : 0u);
        }
        return n == 0 ? 0 : (word << (uPos & 7)) >> (32 - n);
    }
    // The next 57 bits or more, most significant first, in the top of the
    // word (zeros beyond the buffer); Skip the bits used. One load serves a
    // whole Huffman pair with its escapes and signs.
    uint64_t Window() const
    {
        size_t byte = uPos >> 3;
        uint64_t word = 0;
        if (byte + 8 <= nBytes) {
            std::memcpy(&word, pData + byte, 8);
            word = __builtin_bswap64(word);
        } else {
            for (size_t i = 0; i < 8; ++i)
                word = word << 8 | (byte + i < nBytes ? pData[byte + i] : 0u);
        }
        return word << (uPos & 7);
    }
    void Skip(int n) { uPos += size_t(n); }
    uint32_t Get(int n)
    {
        uint32_t v = Peek(n);
        uPos += size_t(n);
        return v;
    }
    size_t Pos() const { return uPos; }
    void SetPos(size_t u) { uPos = u; }

private:
    const uint8_t* pData;
    size_t nBytes;
    size_t uPos = 0;
};
