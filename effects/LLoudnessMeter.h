#pragma once

#include "audio/LSoundSourceBase.h"
#include "process/LProgressDialog.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

// A loudness as broadcasters state it.
struct LLoudness {
    static constexpr double kNone = -std::numeric_limits<double>::infinity();
    // LUFS; kNone when no 400 ms block passed the gates (too short, or
    // silence).
    double dIntegrated = kNone;
    double dRange = 0; // LU; 0 without two gated 3 s windows
    double dTruePeak = kNone; // dBTP; kNone for digital silence

    bool IsMeasured() const { return std::isfinite(dIntegrated); }
    // "-16.2 LUFS, range 5.1 LU, true peak -1.3 dBTP", or why there is no
    // integrated value.
    std::string Text() const;
};

// The loudness meter of broadcast delivery: K-weighted mean squares of
// 100 ms steps summed over the channels (each weighted 1), 400 ms blocks
// with 75 % overlap gated at -70 LUFS and 10 LU below their mean
// (integrated loudness), 3 s windows gated at -70 LUFS and 20 LU below
// their mean whose 10th to 95th percentile span is the loudness range, and
// the peak of the signal interpolated four times (true peak). Full scale is
// the 16-bit scale of the internal format, as in a file.
//
// Fed blocks of interleaved frames in the internal format on one thread at
// a time. A block allocates nothing: the filters and the interpolator work
// in buffers made at construction, and each 100 ms adds one number to a
// list that grows by doubling (Reserve makes it once). Keeps no pointer to
// what it is given.
class LLoudnessMeter {
public:
    LLoudnessMeter(int32_t iSampleRate, int iChannels);

    // Room for the steps of iFrames frames, so Add never grows the list.
    void Reserve(int64_t iFrames);
    void Add(const int32_t* pFrames, int32_t iFrames);
    LLoudness Result() const;

    // The K-weighting's two sections at a rate (b0 b1 b2 a1 a2 each, a0 = 1):
    // the head's high shelf, then the high pass.
    static std::array<double, 10> KWeighting(int32_t iRate);

private:
    static constexpr int kTaps = 16; // interpolator taps per phase
    static constexpr int kHistory = kTaps - 1;

    struct Channel {
        double s[4] = {}; // the two sections' states
        std::vector<float> trace; // kHistory samples, then the chunk
    };

    void AddChunk(const int32_t* pFrames, int32_t iFrames);
    // The interpolated peak of a channel's trace of kHistory + iFrames samples.
    float TracePeak(const float* pTrace, int32_t iFrames) const;
    // First frame of 100 ms step k.
    int64_t StepStart(int64_t k) const;

    int32_t iRate;
    int iChannels;
    std::array<double, 10> k;
    float aPhase[3][kTaps]; // the interpolator's phases at 1/4, 2/4, 3/4
    float fPhaseGain = 1; // the largest sum of magnitudes of a phase
    std::vector<Channel> channels;
    std::vector<double> steps; // sum of weighted squares of each 100 ms step
    double dStep = 0; // of the step being filled
    int64_t iFrame = 0; // frames added
    int64_t iStepEnd; // where the step being filled ends
    float fPeak = 0; // the largest magnitude so far, full scale 1
};

// Measures a source from its position to its end through Process<>; the
// source is the caller's and is left at its end.
struct LLoudnessScan {
    LSoundSourceBase* pSource = nullptr;
    LLoudness result {};
};

// 0 measured, 1 cancelled, 2 no source or a source in error.
int ProcessBody(LProgressDialog& dlg, LLoudnessScan& scan);
