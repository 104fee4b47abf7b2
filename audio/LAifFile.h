#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"

#include <cstdint>
#include <string>

// AIFF files (uncompressed, big-endian).
class LAifFile {
public:
    // 8-bit signed or 16-bit big-endian data; LSRCNull otherwise.
    static SourceHandle OpenSource(const std::string& strPath);
    // 16-bit big-endian, the 54-byte header.
    static SinkHandle OpenSink(const std::string& strPath, int32_t iRate, int iChannels);

    // The 80-bit extended sample rate field, both ways (integer rates).
    static void EncodeRate(int32_t iRate, uint8_t aOut[10]);
    // 0 when the field holds no usable rate.
    static int32_t DecodeRate(const uint8_t aIn[10]);
};
