#pragma once

#include "audio/LHandle.h"

#include <cstddef>
#include <cstdint>

class LFile;

// A pushed stream of frames in the internal format.
//
// Write(p, n) adds n to the frames written and consumes n frames (at most
// 8192 per call); a sink in error counts but discards. A file sink whose file
// cannot be written sets its error flag and keeps the reason (errno), so
// whoever drives it stops and says why. File sinks finish their files in
// Close, or in their destructors when the last SinkHandle goes. Used by one
// thread at a time.
class LSoundSinkBase : public LCounted {
public:
    // 0 channels become 1 with the error flag set; the rate is not checked.
    LSoundSinkBase(int32_t iSampleRate, int iChannels);

    virtual void Write(const int32_t* pBuffer, int32_t iFrames) { iFramesWritten += iFrames; }
    // Moves the write position; the base ignores it.
    virtual void Seek(int32_t iFrame) { }
    // Completes the file now (last block, final header, closing); false, with
    // the error flag set, when any of it or any earlier write failed. Writes
    // after it are discarded. The base has nothing to complete.
    virtual bool Close() { return !IsError(); }
    // The most frames this sink's file can hold (its format's size fields);
    // a save refuses a longer source before writing.
    virtual int64_t GetMaxFrames() const { return INT32_MAX; }

    int32_t GetFramesWritten() const { return iFramesWritten; }
    int32_t GetSampleRate() const { return iSampleRate; }
    int GetChannels() const { return bChannels; }
    bool IsError() const { return (bFlags & 1) != 0; }
    // Why the file could not be written (an errno value), 0 when unknown.
    int GetErrno() const { return iErrno; }

protected:
    void SetError(int iReason = 0)
    {
        bFlags |= 1;
        if (iErrno == 0)
            iErrno = iReason;
    }
    void SetFramesWritten(int32_t i) { iFramesWritten = i; }
    // For file sinks: sets the error flag with the file's reason when one of
    // its calls failed (traced under szWho); false when the sink is in error.
    bool CheckFile(const LFile& file, const char* szWho);

private:
    int32_t iFramesWritten = 0;
    int32_t iSampleRate;
    uint8_t bChannels;
    uint8_t bFlags = 0;
    int iErrno = 0;
};

using SinkHandle = LHandle<LSoundSinkBase>;
