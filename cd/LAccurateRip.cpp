#include "cd/LAccurateRip.h"

LAccurateRip::LAccurateRip(uint32_t uFrames, bool bFirstTrack, bool bLastTrack)
    : uFirst(bFirstTrack ? 5 * kFramesPerSector : 1)
    , uLast(bLastTrack ? (uFrames > 5 * kFramesPerSector ? uFrames - 5 * kFramesPerSector : 0)
                       : uFrames)
{
}

void LAccurateRip::Add(const uint8_t* p, size_t uBytes)
{
    for (size_t i = 0; i + 4 <= uBytes; i += 4, ++uPos) {
        if (uPos < uFirst || uPos > uLast)
            continue;
        const uint32_t v = uint32_t(p[i]) | uint32_t(p[i + 1]) << 8 | uint32_t(p[i + 2]) << 16
            | uint32_t(p[i + 3]) << 24;
        const uint64_t u = uint64_t(v) * uPos;
        uV1 += uint32_t(u);
        uV2 += uint32_t(u) + uint32_t(u >> 32);
    }
}
