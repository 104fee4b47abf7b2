#pragma once

#include "platform/acm/LWaveFormat.h"

#include <string>

// The last compressed WAV format chosen, kept between runs as the chooser's
// 1024-byte format buffer in "WavCodec.wff" in the Current data folder.
class LWavCodecFile {
public:
    static constexpr size_t kBytes = 1024;

    static std::string GetPath();
    // The stored format; GSM 6.10 when the file is missing, short or holds
    // no usable format.
    static LWaveFormat Load();
    // Replaces the file with the format's 1024-byte buffer.
    static bool Store(const LWaveFormat& format);
    // GSM 6.10, mono, 8000 samples/s, 65-byte blocks of 320 samples.
    static LWaveFormat Gsm610Default();
};
