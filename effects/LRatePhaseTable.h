#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The polyphase windowed-sinc filter of the rate converter: P phases of 63
// taps (stored padded to 64 with a zero tap), 1.0 = 65536 per phase sum.
// The ratio source : target is approximated by n : P with P up to 255.
class LRatePhaseTable {
public:
    static constexpr int kTaps = 63;
    static constexpr int kStride = 64;

    // bWide selects the wider transition band of a first, intermediate stage.
    LRatePhaseTable(int32_t iFromRate, int32_t iToRate, bool bWide);

    int GetPhases() const { return iPhases; }
    int GetStep() const { return iStep; }
    double GetCutoff() const { return dCutoff; }
    const int32_t* GetPhase(int p) const { return coef.data() + size_t(p) * kStride; }

    // Kaiser window (beta 4.538, half length 32) at t, from the truncated
    // power series of I0.
    static double Kaiser(double t);

private:
    int iPhases = 1;
    int iStep = 1;
    double dCutoff = 1.0;
    std::vector<int32_t> coef;
};
