#pragma once

#include "audio/LSoundSourceBase.h"
#include "effects/LFFT.h"

#include <array>
#include <cstdint>
#include <vector>

// The level of each of the 2048 bins (k x rate / 4096 Hz) of 4096 frames of
// the first channel: 20 log10(magnitude / 92682) rounded, held within
// -127..127; -127 also for an empty bin.
using LSpectrumValues = std::array<int8_t, 2048>;

struct LSpectrum {
    static constexpr int kFrames = 4096;

    // From the first channel of a source, from iAt on (frames past the end
    // read as silence). Seeks the source.
    static LSpectrumValues At(LSoundSourceBase& source, int32_t iAt);
    // From 4096 mono samples.
    static LSpectrumValues Of(const std::vector<int32_t>& samples);
    // The frequency of a bin, rounded, as the dialog shows it.
    static int BinHz(int iBin, int32_t iRate);
};
