#pragma once

#include <cstdint>

// The 76 coded parameters of one GSM 06.10 full-rate frame (260 bits), in
// transmission order, and their two byte layouts.
struct LGSMParams {
    int16_t LARc[8]; // log-area ratios, 6 6 5 5 4 4 3 3 bits
    int16_t Nc[4]; // per subframe: LTP lag, 7 bits (40..120)
    int16_t bc[4]; // LTP gain, 2 bits
    int16_t Mc[4]; // RPE grid position, 2 bits
    int16_t xmaxc[4]; // block amplitude, 6 bits
    int16_t xMc[4][13]; // RPE pulses, 3 bits each

    static constexpr int kFrameBytes = 33;
    static constexpr int kBits = 260;

    // The common 33-byte frame: signature nibble 0xD, then the parameters most
    // significant bit first. Unpack ignores the signature.
    void Pack(uint8_t* pOut) const;
    void Unpack(const uint8_t* pIn);

    // The layout inside WAV files (format tag 0x31): parameters least
    // significant bit first into a stream filled from each byte's low bit,
    // starting at bit iBitOffset (0 for the first frame of a 65-byte block,
    // 260 for the second). Bits outside the frame are left as they are.
    void PackLsb(uint8_t* pOut, int iBitOffset) const;
    void UnpackLsb(const uint8_t* pIn, int iBitOffset);

    // Field widths in transmission order, shared by both layouts.
    static const uint8_t kLarBits[8];
};
