#pragma once

#include "audio/LSRCFilterBase.h"

#include <vector>

// Echo: every output sample adds the output of one delay earlier, scaled by
// the feedback gain, so an impulse is followed by echoes each gain percent of
// the one before. The delay counts interleaved samples (at least 128). Does
// not clip; the peak bound grows with the feedback. Used on one thread at a
// time; owns the upstream through its handle.
class LSRCEcho : public LSRCFilterBase {
public:
    // iMs is held within 0..3000 and iPercent within 0..99 (100 % would
    // never decay).
    LSRCEcho(SourceHandle hUpstream, int32_t iMs, int32_t iPercent);

    void Seek(int32_t iFrame) override;

    // The delay line's length in interleaved samples.
    static size_t DelaySamples(int32_t iMs, int32_t iRate, int iChannels);

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    std::vector<int32_t> line;
    size_t uIndex = 0;
    int32_t iGain; // feedback in 1/256
};
