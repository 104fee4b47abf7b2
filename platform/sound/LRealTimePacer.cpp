#include "platform/sound/LRealTimePacer.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace {
std::atomic<uint32_t> uWorstUs { 0 };
}

uint32_t LRealTimePacer::GetWorstLatenessUs()
{
    return uWorstUs.load();
}

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
    auto late = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - due)
                    .count();
    uint32_t u = uint32_t(std::max<int64_t>(0, late));
    uint32_t uOld = uWorstUs.load();
    while (u > uOld && !uWorstUs.compare_exchange_weak(uOld, u))
        ;
}
