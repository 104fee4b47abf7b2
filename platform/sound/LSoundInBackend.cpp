#include "platform/sound/LSoundInBackend.h"

#include "platform/sound/LWaveInQueue.h"

#include <algorithm>
#include <chrono>

LSoundInBackend::~LSoundInBackend() = default;

bool LSoundInBackend::Start(LWaveInQueue& queue, uint32_t uRate, uint16_t nChannels)
{
    if (!OpenDevice(uRate, nChannels))
        return false;
    pQueue = &queue;
    nChunkFrames = std::max<uint32_t>(1, uRate / 200);
    vChunk.assign(size_t(nChunkFrames) * nChannels, 0);
    bQuit = false;
    thread = std::thread([this] { ThreadLoop(); });
    return true;
}

void LSoundInBackend::Stop()
{
    if (!thread.joinable())
        return;
    bQuit = true;
    pQueue->Quit();
    thread.join();
    CloseDevice();
}

void LSoundInBackend::ThreadLoop()
{
    bool bHeld = false;
    while (!bQuit) {
        if (HoldsWhileStopped() && !pQueue->IsStarted()) {
            bHeld = true;
            pQueue->WaitForStart(20);
            continue;
        }
        if (bHeld) {
            Resume();
            bHeld = false;
        }
        if (Capture(vChunk.data(), nChunkFrames))
            pQueue->Push(vChunk.data(), nChunkFrames);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(5)); // a failing device must not spin
    }
}
