#include "effects/LSRCLowCutFilter.h"

#include "effects/LFixedScale.h"

#include <algorithm>
#include <cmath>

namespace {
// kCh recursions side by side over frames uStride samples apart (for stereo
// both channels in one pass: two independent chains keep the processor
// busy while each waits for its last product).
template <size_t kCh>
void LowCutRun(int32_t* p, int32_t iFrames, int64_t* pStates, int64_t a, size_t uStride)
{
    int64_t s[kCh];
    std::copy(pStates, pStates + kCh, s);
    for (int32_t f = 0; f < iFrames; ++f, p += uStride)
        for (size_t c = 0; c < kCh; ++c) {
            const int64_t y = int64_t(p[c]) - (s[c] >> 8);
            s[c] += y * a;
            p[c] = int32_t(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX));
        }
    std::copy(s, s + kCh, pStates);
}
} // namespace

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
    if (uCh == 2)
        LowCutRun<2>(pBuffer, iFrames, states.data(), iA, uCh);
    else
        for (size_t c = 0; c < uCh; ++c)
            LowCutRun<1>(pBuffer + c, iFrames, states.data() + c, iA, uCh);
    return iFrames;
}
