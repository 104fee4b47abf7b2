#pragma once

#include "platform/acm/LWaveFormat.h"

// Choosing the format of a compressed WAV file to write.
class LWaveFileFormat {
public:
    // True when a codec can convert 16-bit PCM of the format's channels and
    // rate into the format (a query only; nothing is opened).
    static bool TestSupportedRecord(const LWaveFormat& format);
};
