#include "engine/LRecordGate.h"

#include "audio/LSoundTime.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
// Entry k is the smallest peak with a level above -127 + k: the level
// of a peak is then a count, with no logarithm per buffer.
const std::array<uint64_t, 254>& Thresholds()
{
    static const std::array<uint64_t, 254> a = [] {
        std::array<uint64_t, 254> t {};
        for (int k = 0; k < 254; ++k)
            t[size_t(k)] = uint64_t(std::ceil(131072.0 * std::pow(10.0, (-126 + k - 0.5) / 20.0)));
        return t;
    }();
    return a;
}
} // namespace

int8_t LRecordGate::PeakLevel(uint32_t uPeak)
{
    if (uPeak == 0)
        return -127;
    const auto& t = Thresholds();
    return int8_t(-127 + (std::upper_bound(t.begin(), t.end(), uint64_t(uPeak)) - t.begin()));
}

int8_t LRecordGate::StopThreshold(int8_t cStart)
{
    return int8_t(std::clamp(int(cStart) - 5, -127, 127));
}

LRecordGate::LRecordGate(LSoundSinkBase& target, int32_t nBufIn, const Settings& s)
    : sink(target)
    , nBuf(nBufIn)
    , iChannels(std::max(1, target.GetChannels()))
    , settings(s)
    , cStopThreshold(StopThreshold(s.cStartThreshold))
    , iDcK(192000 / std::max(1, target.GetSampleRate()) + 1)
    , state(s.startState)
    , iLastLoudMs(SinkMs())
    , vDcAccumulators(size_t(iChannels), 0)
    , vWork(size_t(nBufIn) * size_t(iChannels), 0)
    , vPrevious(size_t(nBufIn) * size_t(iChannels), 0)
{
    levels.bChannels = uint8_t(iChannels);
    std::fill(levels.aLevels, levels.aLevels + iChannels, int8_t(-127));
}

int32_t LRecordGate::SinkMs() const
{
    return LSoundTime::FramesToMs(sink.GetFramesWritten(), sink.GetSampleRate());
}

bool LRecordGate::TakeStateChanged()
{
    bool b = bStateChanged;
    bStateChanged = false;
    return b;
}

void LRecordGate::MeasurePeaks(int32_t iFrames, LSoundLevels& out) const
{
    out.bChannels = uint8_t(iChannels);
    for (int c = 0; c < iChannels; ++c) {
        int32_t iMax = 0, iMin = 0;
        for (int32_t f = 0; f < iFrames; ++f) {
            int32_t s = vWork[size_t(f) * size_t(iChannels) + size_t(c)];
            iMax = std::max(iMax, s);
            iMin = std::min(iMin, s);
        }
        out.aLevels[c] = PeakLevel(std::max(uint32_t(iMax), uint32_t(0) - uint32_t(iMin)));
    }
}

int8_t LRecordGate::Overall(const LSoundLevels& l)
{
    return l.bChannels == 1 ? l.aLevels[0] : std::max(l.aLevels[0], l.aLevels[1]);
}

void LRecordGate::Convert(const int16_t* pIn, int32_t iFrames)
{
    // Shift into the internal scale and remove DC: y = x - acc / 4096,
    // acc += y * k, one accumulator per channel kept across buffers.
    for (int32_t f = 0; f < iFrames; ++f)
        for (int c = 0; c < iChannels; ++c) {
            size_t i = size_t(f) * size_t(iChannels) + size_t(c);
            int64_t& acc = vDcAccumulators[size_t(c)];
            int32_t y = int32_t(pIn[i]) * 16 - int32_t(acc >> 12);
            vWork[i] = y;
            acc += int64_t(y) * iDcK;
        }
}

void LRecordGate::Process(const int16_t* pIn, int32_t iFrames)
{
    iFrames = std::clamp(iFrames, 0, nBuf);
    Convert(pIn, iFrames);
    MeasurePeaks(iFrames, levels);
    if (state == kWaiting)
        Wait(iFrames);
    else if (state == kRecording)
        Record(iFrames);
    if (settings.iMaxTimeMs > 0 && SinkMs() > settings.iMaxTimeMs)
        bTimeUp = true;
}

void LRecordGate::KeepAsPrevious(int32_t iFrames)
{
    std::copy_n(vWork.begin(), size_t(iFrames) * size_t(iChannels), vPrevious.begin());
    iPreviousFrames = iFrames;
    bHavePrevious = true;
}

void LRecordGate::Wait(int32_t iFrames)
{
    if (Overall(levels) < settings.cStartThreshold) {
        KeepAsPrevious(iFrames);
        return;
    }
    // Sound that starts in the first half gets the end of the buffer before
    // it as pre-roll; later sound has the first half for that.
    LSoundLevels firstHalf;
    MeasurePeaks(std::min(iFrames, nBuf / 2), firstHalf);
    if (Overall(firstHalf) >= settings.cStartThreshold && bHavePrevious) {
        int32_t iHalf = iPreviousFrames - std::min(iPreviousFrames, nBuf / 2);
        sink.Write(vPrevious.data() + size_t(iHalf) * size_t(iChannels), iPreviousFrames - iHalf);
    }
    sink.Write(vWork.data(), iFrames);
    state = kRecording;
    bStateChanged = true;
    // This buffer was loud: the take runs at least to its end.
    iLastLoudMs = SinkMs();
}

void LRecordGate::Record(int32_t iFrames)
{
    sink.Write(vWork.data(), iFrames);
    const int32_t t = SinkMs();
    const int8_t L = Overall(levels);
    if (L >= cStopThreshold) {
        iLastLoudMs = t;
    } else if (t - iLastLoudMs > settings.iStopHoldMs) {
        int32_t iKeep
            = LSoundTime::MsToFrames(iLastLoudMs + kKeepAfterHoldMs, sink.GetSampleRate());
        sink.Seek(std::min(iKeep, sink.GetFramesWritten()));
        state = kWaiting;
        KeepAsPrevious(iFrames);
        bStateChanged = true;
    }
}

void LRecordGate::Flush(const int16_t* pIn, int32_t iFrames)
{
    iFrames = std::clamp(iFrames, 0, nBuf);
    if (state != kRecording || iFrames == 0)
        return;
    // The same DC removal as before, so the take does not end in a step.
    Convert(pIn, iFrames);
    sink.Write(vWork.data(), iFrames);
    // Without a threshold nothing is trimmed, the tail included.
    if (settings.cStartThreshold <= -127)
        iLastLoudMs = SinkMs();
}
