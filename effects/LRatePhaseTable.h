#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The polyphase windowed-sinc filter of the rate converter: 63 taps per
// phase, 1.0 = 65536 per phase sum.
//
// Output frame j sits at input time j × M ÷ L, M : L being the exact rate
// ratio in lowest terms, so lengths and pitch come out exact. The phase of
// an output frame is the fraction of that time in steps of 1 ÷ P: with
// L ≤ kMaxPhases, P = L and every phase is exact; beyond that (odd rates
// such as those of a speed change) the nearest of P = kMaxPhases steps, one
// row more for a fraction that rounds up to the next frame.
//
// Each row holds 64 taps of 16 bits (the 64th a zero pad) and the excess of
// taps 31 and 32, the only taps that can pass 16 bits: tap = row + excess.
class LRatePhaseTable {
public:
    static constexpr int kTaps = 63;
    static constexpr int kStride = 64;
    static constexpr int kMaxPhases = 4096;

    // bWide selects the wider transition band of a first, intermediate stage.
    LRatePhaseTable(int32_t iFromRate, int32_t iToRate, bool bWide);
    // Rows point into their own storage: movable, not copyable.
    LRatePhaseTable(LRatePhaseTable&&) = default;
    LRatePhaseTable& operator=(LRatePhaseTable&&) = default;
    LRatePhaseTable(const LRatePhaseTable&) = delete;
    LRatePhaseTable& operator=(const LRatePhaseTable&) = delete;

    // Input frames M per L output frames.
    uint32_t GetInStep() const { return uIn; }
    uint32_t GetOutStep() const { return uOut; }
    double GetCutoff() const { return dCutoff; }

    // P ÷ L in 32.32 fixed point: the row of an input time whose fraction is
    // r ÷ L is (r × this + 2^31) >> 32.
    uint64_t GetPhaseScale() const { return uPhaseScale; }
    const int16_t* GetRow(int p) const { return pRows + size_t(p) * kStride; }
    const int32_t* GetExcess(int p) const { return excess.data() + size_t(p) * 2; }
    int32_t GetTap(int p, int k) const;

    // Kaiser window (beta 4.538, half length 32) at t, from the truncated
    // power series of I0.
    static double Kaiser(double t);

private:
    int iPhases = 1;
    uint32_t uIn = 1, uOut = 1;
    uint64_t uPhaseScale = uint64_t(1) << 32; // P ÷ L in 32.32 fixed point
    double dCutoff = 1.0;
    std::vector<int16_t> rows; // over-allocated so that pRows is 64-byte aligned
    int16_t* pRows = nullptr;
    std::vector<int32_t> excess; // taps 31 and 32 of each row
};
