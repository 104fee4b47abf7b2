#pragma once

#include "platform/sound/LSoundBackend.h"

class LWaveOutQueue;

// One kind of output device under LWaveOut. The thread pulls the queue's
// frames in chunks of 5 ms and hands them to Play; a backend only opens its
// device, plays a chunk (blocking for as long as the device needs) and
// closes.
class LSoundOutBackend : public LSoundBackend<LWaveOutQueue> {
protected:
    virtual void Play(const int16_t* pFrames, uint32_t nFrames) = 0;
    // Nothing to play (paused or starved); the thread waits for buffers next.
    virtual void Idle() { }

private:
    void ThreadLoop() override;
};
