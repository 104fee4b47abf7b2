#include "platform/sound/LWaveInQueue.h"

#include "platform/LSignalObject.h"

#include <algorithm>
#include <chrono>
#include <cstring>

LWaveInQueue::LWaveInQueue(uint16_t nBlockAlign, LSignalObject* pEvent)
    : nBlockAlign(nBlockAlign)
    , pEvent(pEvent)
{
}

uint32_t LWaveInQueue::AddBuffer(WAVEHDR* pHdr)
{
    std::lock_guard<std::mutex> lock(mLock);
    uint32_t uFlags = WaveHeaderFlags(*pHdr);
    if (!(uFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    if (uFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    if (pHdr->dwBufferLength < nBlockAlign)
        return MMSYSERR_INVALPARAM;
    pHdr->dwBytesRecorded = 0;
    SetWaveHeaderFlags(*pHdr, WHDR_INQUEUE, WHDR_DONE);
    dqHeaders.push_back(pHdr);
    return MMSYSERR_NOERROR;
}

bool LWaveInQueue::IsQueued(const WAVEHDR* pHdr) const
{
    std::lock_guard<std::mutex> lock(mLock);
    return std::find(dqHeaders.begin(), dqHeaders.end(), pHdr) != dqHeaders.end();
}

bool LWaveInQueue::IsEmpty() const
{
    std::lock_guard<std::mutex> lock(mLock);
    return dqHeaders.empty();
}

void LWaveInQueue::Start()
{
    {
        std::lock_guard<std::mutex> lock(mLock);
        bStarted = true;
    }
    cvStart.notify_all();
}

void LWaveInQueue::Stop()
{
    bool bSignal = false;
    {
        std::lock_guard<std::mutex> lock(mLock);
        bStarted = false;
        if (!dqHeaders.empty() && dqHeaders.front()->dwBytesRecorded > 0) {
            FinishFront();
            bSignal = true;
        }
    }
    if (bSignal && pEvent)
        pEvent->Set();
}

void LWaveInQueue::Reset()
{
    {
        std::lock_guard<std::mutex> lock(mLock);
        bStarted = false;
        while (!dqHeaders.empty())
            FinishFront();
        uPosition = 0;
    }
    if (pEvent)
        pEvent->Set();
}

bool LWaveInQueue::IsStarted() const
{
    std::lock_guard<std::mutex> lock(mLock);
    return bStarted;
}

uint32_t LWaveInQueue::GetPosition() const
{
    std::lock_guard<std::mutex> lock(mLock);
    return uPosition;
}

uint32_t LWaveInQueue::GetDropouts() const
{
    std::lock_guard<std::mutex> lock(mLock);
    return uDropouts;
}

void LWaveInQueue::CountDropout()
{
    std::lock_guard<std::mutex> lock(mLock);
    if (bStarted)
        ++uDropouts;
}

void LWaveInQueue::FinishFront()
{
    SetWaveHeaderFlags(*dqHeaders.front(), WHDR_DONE, WHDR_INQUEUE);
    dqHeaders.pop_front();
}

void LWaveInQueue::Push(const int16_t* pIn, uint32_t nFrames)
{
    bool bSignal = false;
    {
        std::lock_guard<std::mutex> lock(mLock);
        if (!bStarted)
            return;
        uPosition += nFrames;
        const char* pBytes = reinterpret_cast<const char*>(pIn);
        size_t nLeft = size_t(nFrames) * nBlockAlign;
        while (nLeft > 0 && !dqHeaders.empty()) {
            WAVEHDR* pHdr = dqHeaders.front();
            uint32_t uUsable = pHdr->dwBufferLength - pHdr->dwBufferLength % nBlockAlign;
            size_t nTake = std::min<size_t>(nLeft, uUsable - pHdr->dwBytesRecorded);
            std::memcpy(pHdr->lpData + pHdr->dwBytesRecorded, pBytes, nTake);
            pHdr->dwBytesRecorded += uint32_t(nTake);
            pBytes += nTake;
            nLeft -= nTake;
            if (pHdr->dwBytesRecorded >= uUsable) {
                FinishFront();
                bSignal = true;
            }
        }
        if (nLeft > 0)
            ++uDropouts;
    }
    if (bSignal && pEvent)
        pEvent->Set();
}

void LWaveInQueue::WaitForStart(uint32_t uTimeoutMs)
{
    std::unique_lock<std::mutex> lock(mLock);
    cvStart.wait_for(
        lock, std::chrono::milliseconds(uTimeoutMs), [this] { return bQuit || bStarted; });
}

void LWaveInQueue::Quit()
{
    {
        std::lock_guard<std::mutex> lock(mLock);
        bQuit = true;
    }
    cvStart.notify_all();
}
