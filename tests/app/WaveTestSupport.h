#pragma once

#include "edit/LCutListAudio.h"
#include "edit/LSNKCutListAudio.h"
#include "support/AudioTestSupport.h"

#include <QApplication>
#include <cmath>
#include <cstdint>
#include <vector>

namespace WaveTest {

// A cut list holding the given interleaved internal samples (one cut file
// and its graph file, written the way recordings and effects write them).
inline LCutListAudio MakeList(
    const std::vector<int32_t>& samples, int iChannels, int32_t iRate = 44100)
{
    LCutListAudio list;
    {
        SinkHandle h = MakeHandle<LSNKCutListAudio>(list, iRate, iChannels);
        const int32_t iFrames = int32_t(samples.size() / size_t(iChannels));
        for (int32_t i = 0; i < iFrames; i += 5000)
            h->Write(samples.data() + size_t(i) * size_t(iChannels), std::min(5000, iFrames - i));
    }
    return list;
}

// A sine of the given period in frames, peak iAmplitude, starting at its
// zero crossing: with a period divisible by 4 it reaches +/- the amplitude
// exactly. Channels not in uMask stay silent.
inline std::vector<int32_t> Sine(
    int32_t iFrames, int iChannels, int32_t iAmplitude, int32_t iPeriod, unsigned uMask = ~0u)
{
    std::vector<int32_t> v(size_t(iFrames) * size_t(iChannels), 0);
    for (int32_t i = 0; i < iFrames; ++i)
        for (int c = 0; c < iChannels; ++c)
            if (uMask & (1u << c))
                v[size_t(i) * size_t(iChannels) + size_t(c)] = int32_t(
                    std::lround(iAmplitude * std::sin(2 * M_PI * (i % iPeriod) / iPeriod)));
    return v;
}

// Runs the event loop until fnIdle() holds (at most 20 s), then once more so
// that the worker's queued repaints arrive.
inline bool WaitUntil(const std::function<bool()>& fnIdle)
{
    return TestSupport::PumpUntil(
        fnIdle, [] { QApplication::processEvents(); }, 20000);
}

} // namespace WaveTest
