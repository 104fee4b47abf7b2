#pragma once

#include "audio/LHandle.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Internal sample format: signed 32-bit, channels interleaved, at 16 times
// the 16-bit PCM scale.
constexpr int32_t kInternalFullScale = 0x7FFF0;
// Frames per block everywhere: readers and writers size their buffers for it.
constexpr int32_t kBlockFrames = 8192;
// The longest audio a source may have: positions and lengths are signed 32-bit
// frame counts, and the read that crosses the end may pass it by one block.
constexpr int64_t kMaxFrames = INT32_MAX - kBlockFrames;

// A pulled stream of frames in the internal format.
//
// Read(p, n) fills exactly n frames (n x channels samples) and advances the
// position by n. One rule for every source: frames before 0, frames after
// the audio ends, and every frame of a source in error are zeros; only the
// rest is asked of ReadAudio. A single Read never asks for more than 8192
// frames. Used by one thread at a time (the one running the chain: an
// operation on the user-interface thread, or a player's thread); shared
// through SourceHandle, and a source owns the upstream handles and files it
// was given.
class LSoundSourceBase : public LCounted {
public:
    // A rate below 1 becomes 44100 and 0 channels become 1, both setting the
    // error flag.
    LSoundSourceBase(int32_t iSampleRate, int iChannels, uint32_t uPeak);

    void Read(int32_t* pBuffer, int32_t iFrames);
    // Frame position; after the read that crosses the end it exceeds the
    // length. Readers keep it here; processors report their upstream's.
    virtual int32_t GetPosition() { return iPosition; }
    // Total frames; an estimate for some compressed inputs, may change.
    virtual int32_t GetLength() = 0;
    virtual void Seek(int32_t iFrame) { }

    int32_t GetSampleRate() const { return iSampleRate; }
    int GetChannels() const { return bChannels; }
    // Largest magnitude this source can deliver, in internal units.
    uint32_t GetPeak() const { return uPeak; }
    bool IsError() const { return (bFlags & 1) != 0; }

    // A file longer than kMaxFrames opens in error: its true frame count (0
    // for any other source) and why it cannot be edited, in words ("" when
    // it can).
    int64_t GetTooLongFrames() const { return iTooLong; }
    std::string GetTooLongText() const;
    // Why a source in error cannot be read, in words for a message ("" when
    // no reason is known): too long, or what a reader met in the file.
    virtual std::string GetErrorText() const { return GetTooLongText(); }

protected:
    // Delivers up to iFrames frames of audio from the position, which is 0
    // or more, and returns how many it delivered; fewer means the audio ended
    // there. Read has already filled what lies before 0 and moves the
    // position afterwards.
    virtual int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) = 0;

    void SetPosition(int32_t iFrame) { iPosition = iFrame; }
    void SetSampleRate(int32_t iRate);
    void SetChannels(int iChannels);
    void SetPeak(uint32_t u) { uPeak = u; }
    void SetError() { bFlags |= 1; }
    // For a reader: false, with the error flag set, when iFrames is more than
    // the engine counts.
    bool CheckLength(int64_t iFrames);

private:
    int32_t iSampleRate;
    uint32_t uPeak;
    uint8_t bChannels;
    uint8_t bFlags = 0;
    int32_t iPosition = 0;
    int64_t iTooLong = 0;
};

using SourceHandle = LHandle<LSoundSourceBase>;
