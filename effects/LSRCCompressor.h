#pragma once

#include "audio/LSRCFilterBase.h"

#include <array>
#include <cstddef>
#include <vector>

// One choice of the compressor's ratio: its name and the gain factor per
// decibel above the threshold, 10^(-(1 - 1/ratio) / 20).
struct CompressorRatioItem {
    const char* szName;
    double dFactor;
};

// The seven ratios, "1:1" to "Limit", by the index the dialog and scripts store.
using LCompressorRatios = std::array<CompressorRatioItem, 7>;
const LCompressorRatios& CompressorRatioList();

// A gain (0x1000000 = 1.0) for each block level -128..127 dB.
using LGainCurve = std::array<int32_t, 256>;

// Below the threshold the make-up gain R^threshold (for a negative
// threshold), from the threshold up R less per decibel, from the limit on
// 1 dB less per decibel. Gains too large for 32 bits are held at 0x7FFFFFFF.
LGainCurve CompressorCurve(int iThreshold, double dRatio, int iLimit);

// Dynamic range compressor: the audio goes out one window late, each frame
// times a gain that ramps over the window towards the curve's gain for the
// next window's mean-square level, fast when it falls (attack) and slowly
// when it rises (release); past the end of the audio the gain holds. With
// unity gains the audio passes bit for bit.
// Used on one thread at a time; owns the upstream through its handle.
class LSRCCompressor : public LSRCFilterBase {
public:
    // The threshold is held within -127..127; the window (ms) is turned into
    // 128..8192 frames.
    LSRCCompressor(
        SourceHandle hUpstream, int iThreshold, double dRatio, int32_t iWindowMs, int iLimit = 127);

    int32_t GetPosition() override;
    void Seek(int32_t iFrame) override;

    const LGainCurve& GetCurve() const { return curve; }

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    void Start();
    void NextWindow();
    int32_t ReadNext(); // the next window and its target
    void SetStep();

    LGainCurve curve;
    int32_t iWindow;
    std::vector<int32_t> current, next;
    int32_t iIndex = 0; // frame of the current window going out next
    bool bStarted = false;
    int32_t iGain = 0x1000000;
    int32_t iStep = 0;
    int32_t iPrevious = 0x1000000; // the target reached by the window going out
    int32_t iTarget = 0x1000000;
};
