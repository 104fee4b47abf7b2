#pragma once

#include "audio/LHandle.h"

#include <cstddef>
#include <cstdint>

// Internal sample format: signed 32-bit, channels interleaved, at 16 times
// the 16-bit PCM scale.
constexpr int32_t kInternalFullScale = 0x7FFF0;
// Frames per block everywhere: readers and writers size their buffers for it.
constexpr int32_t kBlockFrames = 8192;

// A pulled stream of frames in the internal format.
//
// Read(p, n) fills exactly n frames (n x channels samples) and advances the
// position by n first; frames outside the audio are zeros. A single Read never
// asks for more than 8192 frames. Used by one thread at a time; shared through
// SourceHandle.
class LSoundSourceBase : public LCounted {
public:
    // A rate below 1 becomes 44100 and 0 channels become 1, both setting the
    // error flag.
    LSoundSourceBase(int32_t iSampleRate, int iChannels, uint32_t uPeak);

    virtual void Read(int32_t* pBuffer, int32_t iFrames) = 0;
    // Frame position; after the read that crosses the end it exceeds the length.
    virtual int32_t GetPosition() = 0;
    // Total frames; an estimate for some compressed inputs, may change.
    virtual int32_t GetLength() = 0;
    virtual void Seek(int32_t iFrame) {}

    int32_t GetSampleRate() const { return iSampleRate; }
    int GetChannels() const { return bChannels; }
    // Largest magnitude this source can deliver, in internal units.
    uint32_t GetPeak() const { return uPeak; }
    bool IsError() const { return (bFlags & 1) != 0; }

protected:
    void SetSampleRate(int32_t iRate);
    void SetChannels(int iChannels);
    void SetPeak(uint32_t u) { uPeak = u; }
    void SetError() { bFlags |= 1; }

private:
    int32_t iSampleRate;
    uint32_t uPeak;
    uint8_t bChannels;
    uint8_t bFlags = 0;
};

using SourceHandle = LHandle<LSoundSourceBase>;
