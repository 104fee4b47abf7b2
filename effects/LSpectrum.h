#pragma once

#include "audio/LSoundSourceBase.h"

#include <array>
#include <cstdint>
#include <vector>

// A radix-2 transform of 2^order complex points with its bit-reversal and
// cosine / sine tables, built once. Used on one thread at a time.
class LFFT {
public:
    explicit LFFT(int iOrder);

    int Size() const { return n; }
    // In place; the result in natural order, multiplied by 1/N.
    void Transform(std::vector<double>& re, std::vector<double>& im) const;

private:
    int n;
    std::vector<uint32_t> reverse;
    std::vector<double> cosines, sines; // of 2 pi k / N, k = 0 .. N - 1
};

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
