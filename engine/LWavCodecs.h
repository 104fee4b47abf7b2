#pragma once

#include "platform/acm/LWaveFormat.h"

#include <cstdint>
#include <string>
#include <vector>

// The WAV codecs that can write, as the codec manager lists them, under
// short names for scripts: "pcm16", "float32", "ima-adpcm", "gsm610", ...
// Plain values; any thread.
struct LWavCodec {
    std::string strName;
    std::string strTagName; // the chooser's name, e.g. "IMA ADPCM"
    uint16_t wFormatTag = 0;
    uint16_t wBitsPerSample = 0;
};

class LWavCodecs {
public:
    // One entry per codec and sample size that 16-bit PCM converts into, in
    // the list's order.
    static std::vector<LWavCodec> List();
    // The format of the named codec for the rate and channels: the listed
    // one when it is there, else a listed one moved to the rate when the
    // codec takes that, else the listed one nearest in rate (the writer
    // then converts). False for a name not in List().
    static bool FindFormat(
        const std::string& strName, int32_t iRate, int iChannels, LWaveFormat& format);
};
