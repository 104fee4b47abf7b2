#pragma once

// The members of LWaveDevice, for the two files that build it.
#include "platform/LSignalObject.h"
#include "platform/LTrace.h"
#include "platform/sound/LSoundDevices.h"
#include "platform/sound/LWaveDevice.h"

#include <type_traits>

template <class Q, class B, bool bInput> LWaveDevice<Q, B, bInput>::LWaveDevice() = default;

template <class Q, class B, bool bInput> LWaveDevice<Q, B, bInput>::~LWaveDevice()
{
    if (IsOpen()) {
        Reset();
        Close();
    }
}

template <class Q, class B, bool bInput> int32_t LWaveDevice<Q, B, bInput>::GetDeviceCount()
{
    return int32_t(LSoundDevices::List(bInput).size());
}

template <class Q, class B, bool bInput>
std::string LWaveDevice<Q, B, bInput>::GetDeviceName(int32_t iDevice)
{
    std::string strName;
    bool bNull = false;
    return LSoundDevices::Resolve(bInput, iDevice, strName, bNull) ? strName : std::string();
}

template <class Q, class B, bool bInput>
int32_t LWaveDevice<Q, B, bInput>::FindDevice(const std::string& strName)
{
    return LSoundDevices::Find(bInput, strName);
}

template <class Q, class B, bool bInput>
uint32_t LWaveDevice<Q, B, bInput>::Open(
    int32_t iDevice, const WAVEFORMATEX& wfx, LSignalObject* pEvent, uint32_t)
{
    if (IsOpen())
        return MMSYSERR_ERROR;
    const bool bPcm16 = wfx.wFormatTag == WAVE_FORMAT_PCM && wfx.wBitsPerSample == 16
        && wfx.nChannels >= 1 && wfx.nChannels <= 256 && wfx.nSamplesPerSec >= 1
        && wfx.nSamplesPerSec <= 384000;
    if (!bPcm16)
        return WAVERR_BADFORMAT;
    std::string strName;
    bool bNull = false;
    if (!LSoundDevices::Resolve(bInput, iDevice, strName, bNull))
        return MMSYSERR_BADDEVICEID;
    pQueue = std::make_unique<Q>(uint16_t(wfx.nChannels * 2), pEvent);
    pBackend = MakeBackend(bNull, strName);
    if (!pBackend->Start(*pQueue, wfx.nSamplesPerSec, wfx.nChannels)) {
        LTrace("%s::Open device %d '%s' does not open", bInput ? "LWaveIn" : "LWaveOut", iDevice,
            strName.c_str());
        pBackend.reset();
        pQueue.reset();
        return MMSYSERR_ERROR;
    }
    if (pEvent)
        pEvent->Set();
    return MMSYSERR_NOERROR;
}

template <class Q, class B, bool bInput> uint32_t LWaveDevice<Q, B, bInput>::Close()
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

template <class Q, class B, bool bInput>
uint32_t LWaveDevice<Q, B, bInput>::PrepareHeader(WAVEHDR* pHdr)
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    if (!pHdr || (pHdr->dwBufferLength > 0 && !pHdr->lpData))
        return MMSYSERR_INVALPARAM;
    pHdr->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

template <class Q, class B, bool bInput>
uint32_t LWaveDevice<Q, B, bInput>::UnprepareHeader(WAVEHDR* pHdr)
{
    return OnHeader(pHdr, [pHdr](Q& queue) -> uint32_t {
        if (queue.IsQueued(pHdr))
            return WAVERR_STILLPLAYING;
        pHdr->dwFlags &= ~WHDR_PREPARED;
        return MMSYSERR_NOERROR;
    });
}

template <class Q, class B, bool bInput> uint32_t LWaveDevice<Q, B, bInput>::Reset()
{
    return OnQueue([](Q& queue) { queue.Reset(); });
}

template <class Q, class B, bool bInput>
uint32_t LWaveDevice<Q, B, bInput>::GetPosition(uint32_t* pFrames) const
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    if (!pFrames)
        return MMSYSERR_INVALPARAM;
    *pFrames = pQueue->GetPosition();
    return MMSYSERR_NOERROR;
}

template <class Q, class B, bool bInput>
template <class Fn>
uint32_t LWaveDevice<Q, B, bInput>::OnQueue(Fn fn)
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    if constexpr (std::is_void_v<decltype(fn(*pQueue))>) {
        fn(*pQueue);
        return MMSYSERR_NOERROR;
    } else {
        return fn(*pQueue);
    }
}

template <class Q, class B, bool bInput>
template <class Fn>
uint32_t LWaveDevice<Q, B, bInput>::OnHeader(WAVEHDR* pHdr, Fn fn)
{
    if (!IsOpen())
        return MMSYSERR_INVALHANDLE;
    if (!pHdr)
        return MMSYSERR_INVALPARAM;
    return OnQueue(fn);
}
