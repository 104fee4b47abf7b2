#pragma once

#include "audio/LSRCFilterBase.h"

#include <array>
#include <vector>

// Noise reduction by four noise gates: each block is split into four bands
// (about 50-400 Hz, 400-1100 Hz, 1100-2600 Hz and above; the part below 50 Hz
// is dropped), and each band's gain opens or closes over the block being
// output towards a target set by the next block's peak in that band, less
// what the neighbouring bands mask. Used on one thread at a time; owns the
// upstream through its handle.
class LSRCNoiseGates : public LSRCFilterBase {
public:
    using Levels = std::array<int, 4>;
    using Coefficients = std::array<int32_t, 4>;

    // One level (dB) per band; higher levels open the gate later. Levels
    // are held within -126..127.
    LSRCNoiseGates(SourceHandle hUpstream, const Levels& levels);

    int32_t GetPosition() override;
    void Seek(int32_t iFrame) override;

    // The band split's coefficients at a rate (50, 400, 1100 and 2600 Hz).
    static Coefficients BandCoefficients(int32_t iRate);
    // A band's threshold factor for a level: 65536 x 10^(-level / 20).
    static int64_t BandThreshold(int iLevel);

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    struct Bands {
        std::array<std::vector<int32_t>, 4> band; // each a block of interleaved frames
    };
    void Start();
    void ReadBlock(Bands& bands);
    void SetTargets(const Bands& bands);

    Coefficients coefficients;
    std::array<int64_t, 4> thresholds;
    int32_t iBlock;
    std::vector<std::array<int64_t, 4>> states; // per channel
    std::vector<int32_t> input;
    Bands current, next;
    std::array<int32_t, 4> targets {};
    std::array<int32_t, 4> gains {};
    std::array<int32_t, 4> steps {};
    int32_t iIndex = 0;
    bool bStarted = false;
};

// The noise reduction's source: the gates with the band levels L + 3, L,
// L - 3 and L for the user's level L. An upstream in error is returned
// itself.
SourceHandle OpenNoiseReduction(SourceHandle hUpstream, int iLevel);
