#pragma once

#include "audio/LSRCFilterBase.h"

#include <vector>

// Reverb: a delay line of the reverb time fed back through five taps (0.2587,
// 0.4419, 0.6177, 0.789 and 1 times the line's length in the past of the
// interleaved stream) scaled by the level. Level 0 passes the audio bit for
// bit. Does not clip; the peak bound grows with the level. Used on one
// thread at a time; owns the upstream through its handle.
class LSRCReverb : public LSRCFilterBase {
public:
    // iPercent is held within 0..100 and iMs within 0..1000.
    LSRCReverb(SourceHandle hUpstream, int32_t iPercent, int32_t iMs);

    void Seek(int32_t iFrame) override;

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    static constexpr int kTaps = 5; // the last one is the write position itself
    void Process(int32_t* p, size_t uCount);

    std::vector<int32_t> line;
    size_t aRead[kTaps] = {}; // where each tap reads; aRead[4] is also where the output goes
    int32_t aGain[kTaps] = {}; // in 1/512
    size_t uRun = 0; // the longest run in which no tap reads what the run writes
};
