#pragma once

#include <chrono>
#include <cstdint>

// Paces a stream of frames by the steady clock, for devices that have no
// clock of their own: Advance sleeps until all frames counted since the last
// Rebase are due. Counting from the rebase point keeps rounding from adding
// up. One thread.
class LRealTimePacer {
public:
    explicit LRealTimePacer(uint32_t uRate)
        : uRate(uRate)
    {
        Rebase();
    }

    // Time starts now (after a pause the device does not catch up).
    void Rebase();
    void Advance(uint32_t nFrames);
    // The latest any pacer of the process woke after its due time, in
    // microseconds (how well the machine keeps real time under load).
    static uint32_t GetWorstLatenessUs();

private:
    uint32_t uRate;
    std::chrono::steady_clock::time_point tStart;
    uint64_t uFrames = 0;
};
