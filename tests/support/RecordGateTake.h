#pragma once

#include "audio/LSoundTime.h"
#include "engine/LRecordGate.h"

#include <algorithm>
#include <vector>

// Keeps what is written; a seek back cuts the rest, as the cut writer does.
class MemorySink : public LSoundSinkBase {
public:
    MemorySink(int32_t iRate, int iChannels)
        : LSoundSinkBase(iRate, iChannels)
    {
    }
    void Write(const int32_t* p, int32_t n) override
    {
        v.resize(size_t(GetFramesWritten()) * size_t(GetChannels()));
        v.insert(v.end(), p, p + size_t(n) * size_t(GetChannels()));
        LSoundSinkBase::Write(p, n);
    }
    void Seek(int32_t f) override
    {
        SetFramesWritten(f);
        v.resize(size_t(f) * size_t(GetChannels()));
    }
    std::vector<int32_t> v;
};

// Ends the take as Stop does: 50 ms after the last loud buffer.
inline void EndTake(const LRecordGate& gate, MemorySink& sink)
{
    const int32_t iEnd = LSoundTime::MsToFrames(gate.GetLastLoudMs() + 50, sink.GetSampleRate());
    if (iEnd < sink.GetFramesWritten())
        sink.Seek(iEnd);
}

// The take a gate makes of 16-bit interleaved input given in buffers of
// nBuf frames (the last one may be short), ended as Stop ends it.
inline std::vector<int32_t> GateTake(const std::vector<int16_t>& in, int32_t iRate, int iChannels,
    int32_t nBuf, const LRecordGate::Settings& settings)
{
    MemorySink sink(iRate, iChannels);
    LRecordGate gate(sink, nBuf, settings);
    const int32_t iFrames = int32_t(in.size() / size_t(iChannels));
    for (int32_t f = 0; f < iFrames; f += nBuf)
        gate.Process(in.data() + size_t(f) * size_t(iChannels), std::min(nBuf, iFrames - f));
    EndTake(gate, sink);
    return sink.v;
}
