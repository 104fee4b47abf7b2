#include "platform/sound/LRealTimePacer.h"

#include <thread>

void LRealTimePacer::Rebase()
{
    tStart = std::chrono::steady_clock::now();
    uFrames = 0;
}

void LRealTimePacer::Advance(uint32_t nFrames)
{
    uFrames += nFrames;
    auto due = tStart + std::chrono::nanoseconds(uFrames * 1000000000ull / uRate);
    std::this_thread::sleep_until(due);
}
