#include "effects/LSRCLowCutFilter.h"

#include "effects/LFixedScale.h"

#include <algorithm>
#include <cmath>

int32_t LSRCLowCutFilter::Coefficient(int32_t iHz, int32_t iRate)
{
    const double d = -6.283185307 * double(std::max(iHz, 0)) / double(std::max(iRate, 1));
    return int32_t((1.0 - std::exp(d)) * 256.0);
}

LSRCLowCutFilter::LSRCLowCutFilter(SourceHandle hUpstream, int32_t iHz)
    : LSRCFilterBase(std::move(hUpstream))
    , iA(Coefficient(iHz, GetSampleRate()))
    , states(size_t(GetChannels()), 0)
{
    SetPeak(ScaledPeak(GetPeak(), 2, 1));
}

void LSRCLowCutFilter::Seek(int32_t iFrame)
{
    hSource->Seek(iFrame);
    std::fill(states.begin(), states.end(), 0);
}

int32_t LSRCLowCutFilter::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    hSource->Read(pBuffer, iFrames);
    if (iA == 0)
        return iFrames;
    const size_t uCh = states.size();
    const int64_t a = iA;
    // One recursion per channel; each walks its own column of the block.
    for (size_t c = 0; c < uCh; ++c) {
        int64_t s = states[c];
        int32_t* p = pBuffer + c;
        for (int32_t f = 0; f < iFrames; ++f, p += uCh) {
            const int64_t y = int64_t(*p) - (s >> 8);
            s += y * a;
            *p = int32_t(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX));
        }
        states[c] = s;
    }
    return iFrames;
}
