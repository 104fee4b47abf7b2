#include "engine/LSoundLevels.h"

#include <algorithm>
#include <cmath>

namespace {
int8_t ChannelLevel(const int32_t* p, size_t nFrames, size_t uStride)
{
    // The sum as whole multiples of 8192 plus a remainder, so that it cannot
    // overflow however long the stretch.
    uint64_t uHigh = 0, uLow = 0;
    for (size_t i = 0; i < nFrames; ++i) {
        int64_t s = p[i * uStride] >> 5;
        uint64_t sq = uint64_t(s * s);
        uHigh += sq >> 13;
        uLow += sq & 8191;
    }
    if (nFrames == 0)
        return -127;
    double dMean = (double(uHigh) * 8192.0 + double(uLow)) / double(nFrames);
    if (dMean <= 0)
        return -127;
    double dDb = 10 * std::log10(dMean / 8388608.0);
    double dRounded = dDb < 0 ? std::ceil(dDb - 0.5) : std::floor(dDb + 0.5);
    return int8_t(std::clamp(dRounded, -127.0, 127.0));
}
} // namespace

void LSoundLevels::Measure(const int32_t* pSamples, size_t nFrames, int iChannels)
{
    bChannels = uint8_t(std::clamp(iChannels, 1, 255));
    for (int c = 0; c < bChannels; ++c)
        aLevels[c] = ChannelLevel(pSamples + c, nFrames, size_t(bChannels));
}
