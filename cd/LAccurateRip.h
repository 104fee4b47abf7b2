#pragma once

#include <cstddef>
#include <cstdint>

// The AccurateRip v1 and v2 checksums of one track, without drive offset,
// as the public database lists them. Each stereo frame is read as one
// little-endian 32-bit value v at position p counted from 1 over the whole
// track; v1 adds the low 32 bits of v * p, v2 adds both the low and the high
// 32 bits of the 64-bit product, both wrapping. The first track of a disc
// leaves out its first 5 sectors but one frame (from position 2940 on), the
// last audio track its last 5 sectors (2940 frames). Fed in order on one
// thread; plain data.
class LAccurateRip {
public:
    static constexpr uint32_t kFramesPerSector = 588;

    LAccurateRip(uint32_t uFrames, bool bFirstTrack, bool bLastTrack);
    // The next bytes of the track (whole frames of 4 bytes).
    void Add(const uint8_t* p, size_t uBytes);
    uint32_t GetV1() const { return uV1; }
    uint32_t GetV2() const { return uV2; }

private:
    uint32_t uFirst; // first position counted
    uint32_t uLast; // last position counted
    uint32_t uPos = 1;
    uint32_t uV1 = 0;
    uint32_t uV2 = 0;
};
