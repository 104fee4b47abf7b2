#include "platform/sound/LWaveIn.h"

#include "platform/LSignalObject.h"
#include "platform/LTrace.h"
#include "platform/sound/LNullSoundIn.h"
#include "platform/sound/LPortAudioIn.h"
#include "platform/sound/LSoundDevices.h"
#include "platform/sound/LWaveInQueue.h"

namespace {
uint32_t CheckPcm16(const WAVEFORMATEX& wfx)
{
    bool bOk = wfx.wFormatTag == WAVE_FORMAT_PCM && wfx.wBitsPerSample == 16 &&
               wfx.nChannels >= 1 && wfx.nChannels <= 256 && wfx.nSamplesPerSec >= 1 &&
               wfx.nSamplesPerSec <= 384000;
    return bOk ? MMSYSERR_NOERROR : WAVERR_BADFORMAT;
}
} // namespace

LWaveIn::LWaveIn() = default;

LWaveIn::~LWaveIn()
{
    if (IsOpen()) {
        Reset();
        Close();
    }
}

int32_t LWaveIn::GetDeviceCount()
{
    return int32_t(LSoundDevices::List(true).size());
}

std::string LWaveIn::GetDeviceName(int32_t iDevice)
{
    std::string strName;
    bool bNull = false;
    return LSoundDevices::Resolve(true, iDevice, strName, bNull) ? strName : std::string();
}

int32_t LWaveIn::FindDevice(const std::string& strName)
{
    return LSoundDevices::Find(true, strName);
}

uint32_t LWaveIn::Open(int32_t iDevice, const WAVEFORMATEX& wfx, LSignalObject* pEvent, uint32_t uFlags)
{
    if (IsOpen())
        return MMSYSERR_ERROR;
    if (uint32_t uResult = CheckPcm16(wfx); uResult != MMSYSERR_NOERROR)
        return uResult;
    std::string strName;
    bool bNull = false;
    if (!LSoundDevices::Resolve(true, iDevice, strName, bNull))
        return MMSYSERR_BADDEVICEID;
    uint16_t nBlockAlign = uint16_t(wfx.nChannels * 2);
    pQueue = std::make_unique<LWaveInQueue>(nBlockAlign, pEvent);
    if (bNull)
        pBackend = std::make_unique<LNullSoundIn>();
    else
        pBackend = std::make_unique<LPortAudioIn>(strName);
    if (!pBackend->Start(*pQueue, wfx.nSamplesPerSec, wfx.nChannels)) {
        LTrace("LWaveIn::Open device %d '%s' does not open", iDevice, strName.c_str());
        pBackend.reset();
        pQueue.reset();
        return MMSYSERR_ERROR;
    }
    if (pEvent)
        pEvent->Set();
    return MMSYSERR_NOERROR;
}

uint32_t LWaveIn::Close()
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

bool LWaveIn::IsOpen() const
{
    return pBackend != nullptr;
}

uint32_t LWaveIn::PrepareHeader(WAVEHDR* pHdr)
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    if (!pHdr || (pHdr->dwBufferLength > 0 && !pHdr->lpData))
        return MMSYSERR_INVALPARAM;
    pHdr->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

uint32_t LWaveIn::UnprepareHeader(WAVEHDR* pHdr)
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

uint32_t LWaveIn::AddBuffer(WAVEHDR* pHdr)
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    if (!pHdr)
        return MMSYSERR_INVALPARAM;
    return pQueue->AddBuffer(pHdr);
}

uint32_t LWaveIn::Start()
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    pQueue->Start();
    return MMSYSERR_NOERROR;
}

uint32_t LWaveIn::Stop()
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    pQueue->Stop();
    return MMSYSERR_NOERROR;
}

uint32_t LWaveIn::Reset()
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    pQueue->Reset();
    return MMSYSERR_NOERROR;
}

uint32_t LWaveIn::GetPosition(uint32_t* pFrames) const
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    if (!pFrames)
        return MMSYSERR_INVALPARAM;
    *pFrames = pQueue->GetPosition();
    return MMSYSERR_NOERROR;
}
