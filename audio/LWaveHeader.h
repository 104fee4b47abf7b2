#pragma once

#include "platform/acm/LWaveFormat.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The format block of a WAV file ("fmt " chunk) and the header the writers
// put in front of the sample data: RIFF, WAVE, fmt with the format block and
// its extra bytes, and the data chunk's id and size.
struct LWaveHeader {
    uint16_t wFormatTag = 1;
    uint16_t nChannels = 1;
    uint32_t nSamplesPerSec = 44100;
    uint32_t nAvgBytesPerSec = 88200;
    uint16_t nBlockAlign = 2;
    uint16_t wBitsPerSample = 16;
    std::vector<uint8_t> extra; // cbSize bytes after the 18-byte block

    // Reads a "fmt " chunk body of iBytes (at least 14); a body shorter than
    // 18 bytes has no extra bytes. Extra bytes beyond the body are not taken.
    bool Parse(const uint8_t* pBody, size_t nBytes);
    // The 18-byte block followed by the extra bytes.
    std::vector<uint8_t> FormatBytes() const;
    // The whole file header: 46 bytes plus the extra bytes.
    std::vector<uint8_t> Build(uint32_t uRiffBytes, uint32_t uDataBytes) const;

    // The same format in the codec manager's form and back; the extra bytes
    // are carried unchanged.
    LWaveFormat ToFormat() const;
    static LWaveHeader FromFormat(const LWaveFormat& wf);
};
