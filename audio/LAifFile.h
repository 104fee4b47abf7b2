#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"

#include <cstdint>
#include <string>

// AIFF files, and AIFC files of the uncompressed kinds.
class LAifFile {
public:
    // AIFF of 1 to 32 bits; AIFC "NONE", "twos" (as AIFF), "sowt" (the same,
    // little-endian), "fl32" and "fl64" (big-endian float), "alaw" and
    // "ulaw". LSRCNull otherwise, saying why for a compression type or a
    // sample width it does not read.
    static SourceHandle OpenSource(const std::string& strPath);
    // 16-bit big-endian: AIFF with the 54-byte header, or AIFC "NONE".
    enum class Form : uint8_t { Aiff, Aifc };
    static SinkHandle OpenSink(
        const std::string& strPath, int32_t iRate, int iChannels, Form form = Form::Aiff);

    // The 80-bit extended sample rate field, both ways (integer rates).
    static void EncodeRate(int32_t iRate, uint8_t aOut[10]);
    // 0 when the field holds no usable rate.
    static int32_t DecodeRate(const uint8_t aIn[10]);
};
