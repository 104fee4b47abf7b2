#pragma once

#include "platform/LFile.h"

#include <cstdint>
#include <string>

// Writes a 16-bit PCM WAV file as frames come; the chunk sizes are filled in
// by Close (or the destructor). For the null device's capture. One thread.
class LPcm16WavWriter {
public:
    ~LPcm16WavWriter() { Close(); }
    bool Open(const std::string& strPath, uint32_t uRate, uint16_t nChannels);
    void Write(const int16_t* pFrames, uint32_t nFrames);
    void Close();

private:
    LFile file;
    uint16_t nChannels = 0;
    uint32_t uDataBytes = 0;
};
