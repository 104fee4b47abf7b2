#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

class LWaveInQueue;

// One kind of input device under LWaveIn. The base runs the device's thread,
// which takes chunks of 5 ms from Capture and pushes them into the queue; a
// backend only opens its device, captures a chunk (blocking until it is
// there) and closes. Start and Stop come from the owner thread.
class LSoundInBackend {
public:
    virtual ~LSoundInBackend();

    bool Start(LWaveInQueue& queue, uint32_t uRate, uint16_t nChannels);
    void Stop();

protected:
    virtual bool OpenDevice(uint32_t uRate, uint16_t nChannels) = 0;
    // Fills nFrames frames; false on a device failure (the chunk is dropped).
    virtual bool Capture(int16_t* pFrames, uint32_t nFrames) = 0;
    // True when the device's clock stands still while the queue is stopped;
    // otherwise capturing goes on and the queue drops what comes.
    virtual bool HoldsWhileStopped() const { return false; }
    // Capturing resumes after a hold.
    virtual void Resume() {}
    virtual void CloseDevice() = 0;

private:
    void ThreadLoop();

    LWaveInQueue* pQueue = nullptr;
    std::vector<int16_t> vChunk;
    uint32_t nChunkFrames = 0;
    std::atomic<bool> bQuit {false};
    std::thread thread;
};
