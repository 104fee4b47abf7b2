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
    // The whole file header, 82 bytes plus the extra bytes: "RIFF", "WAVE",
    // a 28-byte "JUNK" chunk, "fmt " and the data chunk's id and size. The
    // JUNK chunk keeps the place of the "ds64" chunk of an RF64 file, which
    // the header becomes when the sizes pass 32 bits (64-bit RIFF size, data
    // size and frame count in ds64, 0xFFFFFFFF in the 32-bit fields), so a
    // file that grows past 4 GiB is finished in place. kOpen: a file still
    // being written (0xFFFFFFFF sizes, read as data to the end of the file).
    static constexpr int64_t kOpen = -1;
    std::vector<uint8_t> Build(int64_t iDataBytes, int64_t iFrames) const;

    // The same format in the codec manager's form and back; the extra bytes
    // are carried unchanged.
    LWaveFormat ToFormat() const;
    static LWaveHeader FromFormat(const LWaveFormat& wf);
};
