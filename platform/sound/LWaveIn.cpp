#include "platform/sound/LWaveIn.h"

#include "platform/sound/LNullSoundIn.h"
#include "platform/sound/LPortAudioIn.h"
#include "platform/sound/LWaveDeviceImpl.h"
#include "platform/sound/LWaveInQueue.h"

template <>
std::unique_ptr<LSoundInBackend> LWaveDevice<LWaveInQueue, LSoundInBackend, true>::MakeBackend(
    bool bNull, const std::string& strName)
{
    if (bNull)
        return std::make_unique<LNullSoundIn>();
    return std::make_unique<LPortAudioIn>(strName);
}

template class LWaveDevice<LWaveInQueue, LSoundInBackend, true>;

uint32_t LWaveIn::AddBuffer(WAVEHDR* pHdr)
{
    return OnHeader(pHdr, [pHdr](LWaveInQueue& queue) { return queue.AddBuffer(pHdr); });
}

uint32_t LWaveIn::Start()
{
    return OnQueue([](LWaveInQueue& queue) { queue.Start(); });
}

uint32_t LWaveIn::Stop()
{
    return OnQueue([](LWaveInQueue& queue) { queue.Stop(); });
}

uint32_t LWaveIn::GetDropouts(uint32_t* pCount)
{
    return OnQueue([pCount](LWaveInQueue& queue) { *pCount = queue.GetDropouts(); });
}
