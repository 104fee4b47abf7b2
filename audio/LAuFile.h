#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"

#include <string>

// Sun AU files (big-endian header ".snd").
class LAuFile {
public:
    // µ-law, A-law, 8-, 16-, 24- or 32-bit linear, 32- or 64-bit float data;
    // LSRCNull otherwise (saying why for an encoding it does not read).
    static SourceHandle OpenSource(const std::string& strPath);
    // 16-bit big-endian linear.
    static SinkHandle OpenSink(const std::string& strPath, int32_t iRate, int iChannels);
};
