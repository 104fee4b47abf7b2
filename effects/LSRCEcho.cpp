#include "effects/LSRCEcho.h"

#include "audio/LSoundTime.h"
#include "effects/LFixedScale.h"
#include "platform/LVectorClones.h"

#include <algorithm>

namespace {
// One run: the buffer and the line are separate arrays.
ORV_VECTOR_CLONES void EchoRun(
    int32_t* __restrict pBuffer, int32_t* __restrict pLine, int32_t g, size_t uRun)
{
    for (size_t i = 0; i < uRun; ++i) {
        const int32_t y = WrapAdd(pBuffer[i], MulShift8(pLine[i], g));
        pBuffer[i] = y;
        pLine[i] = y;
    }
}
} // namespace

size_t LSRCEcho::DelaySamples(int32_t iMs, int32_t iRate, int iChannels)
{
    const size_t uCh = size_t(std::max(iChannels, 1));
    size_t u = size_t(LSoundTime::MsToFrames(std::clamp(iMs, 0, 3000), iRate)) * uCh;
    // At least 128 samples, and whole frames so each channel echoes itself.
    u = std::max<size_t>(u, 128);
    return (u + uCh - 1) / uCh * uCh;
}

LSRCEcho::LSRCEcho(SourceHandle hUpstream, int32_t iMs, int32_t iPercent)
    : LSRCFilterBase(std::move(hUpstream))
    , line(DelaySamples(iMs, GetSampleRate(), GetChannels()), 0)
    , iGain(std::clamp(iPercent, 0, 99) * 256 / 100)
{
    // The echoes of a sample at full level sum to 256 / (256 - gain) times it.
    SetPeak(ScaledPeak(GetPeak(), 256, uint32_t(256 - iGain)));
}

void LSRCEcho::Seek(int32_t iFrame)
{
    std::fill(line.begin(), line.end(), 0);
    uIndex = 0;
    hSource->Seek(iFrame);
}

int32_t LSRCEcho::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    hSource->Read(pBuffer, iFrames);
    size_t uLeft = size_t(iFrames) * size_t(GetChannels());
    const int32_t g = iGain;
    // In runs up to the line's end: within a run every sample reads a line
    // entry written at least one delay earlier, so the loop has no carried
    // dependency and vectorizes.
    while (uLeft > 0) {
        const size_t uRun = std::min(uLeft, line.size() - uIndex);
        EchoRun(pBuffer, line.data() + uIndex, g, uRun);
        pBuffer += uRun;
        uLeft -= uRun;
        uIndex = (uIndex + uRun) % line.size();
    }
    return iFrames;
}
