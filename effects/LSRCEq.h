#pragma once

#include "audio/LSRCFilterBase.h"
#include "effects/PointList.h"

#include <array>
#include <vector>

// The equalizer's gains: 2048 bins of k x rate / 4096 Hz, 128 = unchanged,
// drawn from a curve whose x counts steps of 78.125 Hz. An empty curve is
// flat; a rate of 0 or below counts as 44100.
using LEqGainTable = std::array<uint8_t, 2048>;
LEqGainTable EqGainTable(const PointList& list, int32_t iRate);

// Equalizer: a linear-phase filter of 4095 taps, symmetric around the
// output frame, designed from the gain table (a cosine sum whose end bins
// weigh one half, so a flat table gives the single tap 32768 and passes the
// audio unchanged). Works on blocks of 24580 frames with 2047 frames of
// history and 2048 of look-ahead per channel, all channels alike.
//
// Two ways to the same output: the direct form (every tap a multiply-add,
// the reference) and fast convolution by 16384-point transforms; each output
// is the exact integer sum of the direct form, so both give the same bits.
// Used on one thread at a time; owns the upstream through its handle.
class LSRCEq : public LSRCFilterBase {
public:
    static constexpr int kTaps = 2048; // h[0] .. h[2047], mirrored
    static constexpr int32_t kHistory = 2047, kAhead = 2048;
    // A transform's window of 16384 frames gives the outputs whose 4095 taps
    // all lie inside it; a block is two windows' outputs.
    static constexpr int32_t kWindow = 16384, kBlock = 2 * (kWindow - 2 * kHistory);
    enum class Method { Fast, Direct };

    LSRCEq(SourceHandle hUpstream, const LEqGainTable& table, Method eMethod = Method::Fast);

    // h[0..2047] for a gain table, in units of 1/32768.
    static std::array<int32_t, kTaps> Design(const LEqGainTable& table);

    // The output frame the next read delivers.
    int32_t GetPosition() override { return iPos; }
    // Output frame p needs the input from p - 2047: what lies before frame
    // 0 is silence, whatever the upstream would give there.
    void Seek(int32_t iFrame) override;

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    void Start(int32_t iFrame);
    void NextBlock();
    // Reads iFrames frames into frame iAt of the buffer.
    void Fill(int32_t iAt, int32_t iFrames);
    // The shift that keeps the block's sums exact.
    void ApplyInBufferScaling();
    // The block's output, from the sums of the direct form or of the
    // transforms, each sum an exact integer.
    void Filter();
    void FilterDirect();
    void FilterFast();
    // Sums of channel c as the block's output from frame iFrom.
    void Store(size_t c, int32_t iFrom, const double* pSums, int32_t n);
    void PrepareSpectrum();

    Method eMethod;
    std::array<double, kTaps> h {};
    double dNorm = 0; // the 4095 taps' Euclidean norm
    size_t uCh;
    std::vector<int32_t> raw; // interleaved: history, block, look-ahead
    std::vector<double> scaled; // direct form: per channel, the raw samples >> iShift
    std::vector<double> acc; // direct form: one channel's sums
    // Fast: the real parts, the imaginary parts (one channel's two windows)
    // and the taps' transform / N in bit-reversed order, from uFastAt on.
    std::vector<double> fast;
    size_t uFastAt = 0;
    double* Re() { return fast.data() + uFastAt; }
    double* Im();
    double* Spectrum();
    std::vector<int32_t> out; // the block's output, channel after channel
    int iShift = 0;
    int32_t iUsed = kBlock; // frames of the block delivered
    int32_t iPos = 0;
    bool bStarted = false;
};
