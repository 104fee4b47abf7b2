#pragma once

#include "platform/LFile.h"

#include <cstdint>
#include <string>

// Reads the frames of a 16-bit PCM WAV file in order, for the null input
// device. Other formats are refused. One thread.
class LPcm16WavReader {
public:
    bool Open(const std::string& strPath);
    uint32_t GetRate() const { return uRate; }
    uint16_t GetChannels() const { return nChannels; }
    // Reads up to nFrames frames; fewer at the end of the data.
    uint32_t Read(int16_t* pFrames, uint32_t nFrames);

private:
    LFile file;
    uint32_t uRate = 0;
    uint16_t nChannels = 0;
    uint32_t uBytesLeft = 0;
};
