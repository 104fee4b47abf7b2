#include "platform/sound/LSoundOutBackend.h"

#include "platform/sound/LSoundBackendImpl.h"
#include "platform/sound/LWaveOutQueue.h"

template class LSoundBackend<LWaveOutQueue>;

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
