#pragma once

#include "platform/sound/LSoundBackend.h"

class LWaveInQueue;

// One kind of input device under LWaveIn. The thread takes chunks of 5 ms
// from Capture and pushes them into the queue; a backend only opens its
// device, captures a chunk (blocking until it is there) and closes.
class LSoundInBackend : public LSoundBackend<LWaveInQueue> {
protected:
    // Fills nFrames frames; false on a device failure (the chunk is dropped).
    virtual bool Capture(int16_t* pFrames, uint32_t nFrames) = 0;
    // True when the device's clock stands still while the queue is stopped;
    // otherwise capturing goes on and the queue drops what comes.
    virtual bool HoldsWhileStopped() const { return false; }
    // Capturing resumes after a hold.
    virtual void Resume() { }

private:
    void ThreadLoop() override;
};
