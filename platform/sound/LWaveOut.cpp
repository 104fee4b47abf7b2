#include "platform/sound/LWaveOut.h"

#include "platform/LSignalObject.h"
#include "platform/LTrace.h"
#include "platform/sound/LNullSoundOut.h"
#include "platform/sound/LPortAudioOut.h"
#include "platform/sound/LSoundDevices.h"
#include "platform/sound/LWaveOutQueue.h"

namespace {
uint32_t CheckPcm16(const WAVEFORMATEX& wfx)
{
    bool bOk = wfx.wFormatTag == WAVE_FORMAT_PCM && wfx.wBitsPerSample == 16 &&
               wfx.nChannels >= 1 && wfx.nChannels <= 256 && wfx.nSamplesPerSec >= 1 &&
               wfx.nSamplesPerSec <= 384000;
    return bOk ? MMSYSERR_NOERROR : WAVERR_BADFORMAT;
}
} // namespace

LWaveOut::LWaveOut() = default;

LWaveOut::~LWaveOut()
{
    if (IsOpen()) {
        Reset();
        Close();
    }
}

int32_t LWaveOut::GetDeviceCount()
{
    return int32_t(LSoundDevices::List(false).size());
}

std::string LWaveOut::GetDeviceName(int32_t iDevice)
{
    std::string strName;
    bool bNull = false;
    return LSoundDevices::Resolve(false, iDevice, strName, bNull) ? strName : std::string();
}

int32_t LWaveOut::FindDevice(const std::string& strName)
{
    return LSoundDevices::Find(false, strName);
}

uint32_t LWaveOut::Open(int32_t iDevice, const WAVEFORMATEX& wfx, LSignalObject* pEvent, uint32_t uFlags)
{
    if (IsOpen())
        return MMSYSERR_ERROR;
    if (uint32_t uResult = CheckPcm16(wfx); uResult != MMSYSERR_NOERROR)
        return uResult;
    std::string strName;
    bool bNull = false;
    if (!LSoundDevices::Resolve(false, iDevice, strName, bNull))
        return MMSYSERR_BADDEVICEID;
    uint16_t nBlockAlign = uint16_t(wfx.nChannels * 2);
    pQueue = std::make_unique<LWaveOutQueue>(nBlockAlign, pEvent);
    if (bNull)
        pBackend = std::make_unique<LNullSoundOut>();
    else
        pBackend = std::make_unique<LPortAudioOut>(strName);
    if (!pBackend->Start(*pQueue, wfx.nSamplesPerSec, wfx.nChannels)) {
        LTrace("LWaveOut::Open device %d '%s' does not open", iDevice, strName.c_str());
        pBackend.reset();
        pQueue.reset();
        return MMSYSERR_ERROR;
    }
    if (pEvent)
        pEvent->Set();
    return MMSYSERR_NOERROR;
}

uint32_t LWaveOut::Close()
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    if (!pQueue->IsEmpty())
        return WAVERR_STILLPLAYING;
    pBackend->Stop();
    pBackend.reset();
    pQueue.reset();
    return MMSYSERR_NOERROR;
}

bool LWaveOut::IsOpen() const
{
    return pBackend != nullptr;
}

uint32_t LWaveOut::PrepareHeader(WAVEHDR* pHdr)
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    if (!pHdr || (pHdr->dwBufferLength > 0 && !pHdr->lpData))
        return MMSYSERR_INVALPARAM;
    pHdr->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

uint32_t LWaveOut::UnprepareHeader(WAVEHDR* pHdr)
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    if (!pHdr)
        return MMSYSERR_INVALPARAM;
    if (pQueue->IsQueued(pHdr))
        return WAVERR_STILLPLAYING;
    pHdr->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

uint32_t LWaveOut::Write(WAVEHDR* pHdr)
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    if (!pHdr)
        return MMSYSERR_INVALPARAM;
    return pQueue->Write(pHdr);
}

uint32_t LWaveOut::Pause()
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    pQueue->Pause();
    return MMSYSERR_NOERROR;
}

uint32_t LWaveOut::Restart()
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    pQueue->Restart();
    return MMSYSERR_NOERROR;
}

uint32_t LWaveOut::Reset()
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    pQueue->Reset();
    return MMSYSERR_NOERROR;
}

uint32_t LWaveOut::BreakLoop()
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    pQueue->BreakLoop();
    return MMSYSERR_NOERROR;
}

uint32_t LWaveOut::GetPosition(uint32_t* pFrames) const
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    if (!pFrames)
        return MMSYSERR_INVALPARAM;
    *pFrames = pQueue->GetPosition();
    return MMSYSERR_NOERROR;
}
