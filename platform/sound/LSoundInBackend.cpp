#include "platform/sound/LSoundInBackend.h"

#include "platform/sound/LSoundBackendImpl.h"
#include "platform/sound/LWaveInQueue.h"

#include <chrono>

template class LSoundBackend<LWaveInQueue>;

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
        else {
            pQueue->CountDropout();
            std::this_thread::sleep_for(
                std::chrono::milliseconds(5)); // a failing device must not spin
        }
    }
}
