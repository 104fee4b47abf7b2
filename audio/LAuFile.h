#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"

#include <string>

// Sun AU files (big-endian header ".snd").
class LAuFile {
public:
    // µ-law, 8-bit linear, 16-bit linear or A-law data; LSRCNull otherwise.
    static SourceHandle OpenSource(const std::string& strPath);
    // 16-bit big-endian linear.
    static SinkHandle OpenSink(const std::string& strPath, int32_t iRate, int iChannels);
};
