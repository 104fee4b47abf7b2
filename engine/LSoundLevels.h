#pragma once

#include <cstddef>
#include <cstdint>

// Per-channel levels of a stretch of audio, in decibels; -127 is silence.
struct LSoundLevels {
    uint8_t bChannels = 1;
    int8_t aLevels[256] = { -127 };

    // Levels of n frames of internal samples (channels interleaved): mean
    // square of (sample >> 5), as 10 log10(mean x 2^-23), rounded half away
    // from zero and clamped to -127..127.
    void Measure(const int32_t* pSamples, size_t nFrames, int iChannels);
};
