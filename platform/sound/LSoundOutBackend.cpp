#include "platform/sound/LSoundOutBackend.h"

#include "platform/sound/LWaveOutQueue.h"

#include <algorithm>

LSoundOutBackend::~LSoundOutBackend() = default;

bool LSoundOutBackend::Start(LWaveOutQueue& queue, uint32_t uRate, uint16_t nChannels)
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

void LSoundOutBackend::Stop()
{
    if (!thread.joinable())
        return;
    bQuit = true;
    pQueue->Quit();
    thread.join();
    CloseDevice();
}

void LSoundOutBackend::ThreadLoop()
{
    while (!bQuit) {
        uint32_t n = pQueue->Pull(vChunk.data(), nChunkFrames);
        if (n > 0) {
            Play(vChunk.data(), n);
            pQueue->Played();
            continue;
        }
        Idle();
        pQueue->WaitForWork(20);
    }
}
