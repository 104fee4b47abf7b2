#pragma once

#include "platform/LSignalObject.h"
#include "platform/sound/LWaveDefs.h"

#include <chrono>
#include <cstdint>
#include <vector>

// Buffers of 16-bit frames with their headers, for the device tests.
struct TestBuffer {
    std::vector<int16_t> vSamples;
    WAVEHDR hdr;

    explicit TestBuffer(std::vector<int16_t> v)
        : vSamples(std::move(v))
    {
        hdr.lpData = reinterpret_cast<char*>(vSamples.data());
        hdr.dwBufferLength = uint32_t(vSamples.size() * 2);
    }
};

// A ramp of distinct values, so order and repeats can be told apart.
inline std::vector<int16_t> Ramp(size_t nSamples, int16_t iFirst)
{
    std::vector<int16_t> v(nSamples);
    for (size_t i = 0; i < nSamples; ++i)
        v[i] = int16_t(iFirst + int16_t(i % 1000));
    return v;
}

// Waits on the device event until the header is done; false after uLimitMs.
inline bool WaitDone(LSignalObject& event, const WAVEHDR& hdr, uint32_t uLimitMs = 5000)
{
    auto tEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(uLimitMs);
    while (!WaveHeaderDone(hdr)) {
        if (std::chrono::steady_clock::now() > tEnd)
            return false;
        event.Wait(50);
        event.Reset();
    }
    return true;
}

inline double MsSince(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}
