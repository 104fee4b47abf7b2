#pragma once

#include "codecs/gsm/LGSMFrame.h"

#include <cstdint>

// GSM 06.10 inside WAV files (format tag 0x31): blocks of 65 bytes holding
// two frames (320 samples), each frame's 260 bits packed least significant
// bit first; the second frame starts in the upper half of byte 32. Converts
// blocks to and from 16-bit PCM with the standard pre- and postprocessing,
// keeping the codec state across blocks. One thread at a time.
class LGSMWavBlock {
public:
    static constexpr int kBlockBytes = 65;
    static constexpr int kBlockSamples = 320;

    void Reset() { frame.Reset(); }
    void Encode(const int16_t* pIn, uint8_t* pOut);
    void Decode(const uint8_t* pIn, int16_t* pOut);

    // Packing only: the two frames' parameters <-> one block.
    static void Pack(const LGSMParams& first, const LGSMParams& second, uint8_t* pOut);
    static void Unpack(const uint8_t* pIn, LGSMParams& first, LGSMParams& second);

private:
    LGSMFrame frame;
};
