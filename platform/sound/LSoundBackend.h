#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

// The thread of one kind of sound device, over the queue of its direction
// (LWaveOutQueue or LWaveInQueue): Start opens the device and runs
// ThreadLoop, which moves chunks of 5 ms between the device and the queue;
// Stop ends the thread and closes the device. Start and Stop come from the
// owner thread. The members are built in LSoundOutBackend.cpp and
// LSoundInBackend.cpp.
template <class Queue> class LSoundBackend {
public:
    virtual ~LSoundBackend() = default;

    // Opens the device for 16-bit PCM and starts the thread; false when the
    // device does not open.
    bool Start(Queue& queue, uint32_t uRate, uint16_t nChannels);
    // Ends the thread and closes the device.
    void Stop();

protected:
    virtual bool OpenDevice(uint32_t uRate, uint16_t nChannels) = 0;
    virtual void CloseDevice() = 0;
    // Runs on the thread until bQuit.
    virtual void ThreadLoop() = 0;

    Queue* pQueue = nullptr;
    std::vector<int16_t> vChunk;
    uint32_t nChunkFrames = 0;
    std::atomic<bool> bQuit { false };

private:
    std::thread thread;
};
