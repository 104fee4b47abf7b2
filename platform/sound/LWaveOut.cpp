#include "platform/sound/LWaveOut.h"

#include "platform/sound/LNullSoundOut.h"
#include "platform/sound/LPortAudioOut.h"
#include "platform/sound/LWaveDeviceImpl.h"
#include "platform/sound/LWaveOutQueue.h"

template <>
std::unique_ptr<LSoundOutBackend> LWaveDevice<LWaveOutQueue, LSoundOutBackend, false>::MakeBackend(
    bool bNull, const std::string& strName)
{
    if (bNull)
        return std::make_unique<LNullSoundOut>();
    return std::make_unique<LPortAudioOut>(strName);
}

template class LWaveDevice<LWaveOutQueue, LSoundOutBackend, false>;

uint32_t LWaveOut::Write(WAVEHDR* pHdr)
{
    return OnHeader(pHdr, [pHdr](LWaveOutQueue& queue) { return queue.Write(pHdr); });
}

uint32_t LWaveOut::Pause()
{
    return OnQueue([](LWaveOutQueue& queue) { queue.Pause(); });
}

uint32_t LWaveOut::Restart()
{
    return OnQueue([](LWaveOutQueue& queue) { queue.Restart(); });
}

uint32_t LWaveOut::BreakLoop()
{
    return OnQueue([](LWaveOutQueue& queue) { queue.BreakLoop(); });
}
