#pragma once

#include "audio/LSRCFilterBase.h"

#include <vector>

// High-pass (low cut) filter of one pole per channel: y = x - state / 256,
// state += y * a, with a = (1 - exp(-2 pi f / rate)) * 256 truncated. Where a
// truncates to 0 the audio passes unchanged. A step overshoots to twice its
// height at most, so the peak bound is twice the upstream's. Used on one
// thread at a time; owns the upstream through its handle.
class LSRCLowCutFilter : public LSRCFilterBase {
public:
    // A negative frequency counts as 0 (it would make the filter grow
    // without bound).
    LSRCLowCutFilter(SourceHandle hUpstream, int32_t iHz);

    void Seek(int32_t iFrame) override;

    static int32_t Coefficient(int32_t iHz, int32_t iRate);

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    int32_t iA;
    // 64 bits: the state settles near 256 times the input's level, which
    // passes 32 bits for audio above full scale.
    std::vector<int64_t> states;
};
