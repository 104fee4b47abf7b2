#pragma once

// The members of LSoundBackend, for the two files that build it.
#include "platform/sound/LSoundBackend.h"

#include <algorithm>

template <class Queue>
bool LSoundBackend<Queue>::Start(Queue& queue, uint32_t uRate, uint16_t nChannels)
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

template <class Queue> void LSoundBackend<Queue>::Stop()
{
    if (!thread.joinable())
        return;
    bQuit = true;
    pQueue->Quit();
    thread.join();
    CloseDevice();
}
