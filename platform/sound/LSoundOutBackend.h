#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

class LWaveOutQueue;

// One kind of output device under LWaveOut. The base runs the device's
// thread, which pulls the queue's frames in chunks of 5 ms and hands them to
// Play; a backend only opens its device, plays a chunk (blocking for as long
// as the device needs) and closes. Start and Stop come from the owner thread.
class LSoundOutBackend {
public:
    virtual ~LSoundOutBackend();

    // Opens the device for 16-bit PCM and starts the thread; false when the
    // device does not open.
    bool Start(LWaveOutQueue& queue, uint32_t uRate, uint16_t nChannels);
    // Ends the thread and closes the device.
    void Stop();

protected:
    virtual bool OpenDevice(uint32_t uRate, uint16_t nChannels) = 0;
    virtual void Play(const int16_t* pFrames, uint32_t nFrames) = 0;
    // Nothing to play (paused or starved); the thread waits for buffers next.
    virtual void Idle() {}
    virtual void CloseDevice() = 0;

private:
    void ThreadLoop();

    LWaveOutQueue* pQueue = nullptr;
    std::vector<int16_t> vChunk;
    uint32_t nChunkFrames = 0;
    std::atomic<bool> bQuit {false};
    std::thread thread;
};
