#include "platform/sound/LWaveOutQueue.h"

#include "platform/LSignalObject.h"

#include <algorithm>
#include <chrono>
#include <cstring>

LWaveOutQueue::LWaveOutQueue(uint16_t nBlockAlign, LSignalObject* pEvent)
    : nBlockAlign(nBlockAlign)
    , pEvent(pEvent)
{
}

uint32_t LWaveOutQueue::Write(WAVEHDR* pHdr)
{
    {
        std::lock_guard<std::mutex> lock(mLock);
        uint32_t uFlags = WaveHeaderFlags(*pHdr);
        if (!(uFlags & WHDR_PREPARED))
            return WAVERR_UNPREPARED;
        if (uFlags & WHDR_INQUEUE)
            return WAVERR_STILLPLAYING;
        SetWaveHeaderFlags(*pHdr, WHDR_INQUEUE, WHDR_DONE);
        dqHeaders.push_back(pHdr);
    }
    cvWork.notify_all();
    return MMSYSERR_NOERROR;
}

bool LWaveOutQueue::IsQueued(const WAVEHDR* pHdr) const
{
    std::lock_guard<std::mutex> lock(mLock);
    return std::find(dqHeaders.begin(), dqHeaders.end(), pHdr) != dqHeaders.end()
        || std::find(dqFinished.begin(), dqFinished.end(), pHdr) != dqFinished.end();
}

bool LWaveOutQueue::IsEmpty() const
{
    std::lock_guard<std::mutex> lock(mLock);
    return dqHeaders.empty() && dqFinished.empty();
}

void LWaveOutQueue::Pause()
{
    std::lock_guard<std::mutex> lock(mLock);
    bPaused = true;
}

void LWaveOutQueue::Restart()
{
    {
        std::lock_guard<std::mutex> lock(mLock);
        bPaused = false;
    }
    cvWork.notify_all();
}

void LWaveOutQueue::Reset()
{
    {
        std::lock_guard<std::mutex> lock(mLock);
        MarkFinishedDone();
        for (WAVEHDR* pHdr : dqHeaders)
            SetWaveHeaderFlags(*pHdr, WHDR_DONE, WHDR_INQUEUE);
        dqHeaders.clear();
        nPulled = 0;
        iCur = 0;
        uOffset = 0;
        bPaused = false;
        bInLoop = bBreakLoop = false;
        uPosition = 0;
    }
    if (pEvent)
        pEvent->Set();
}

void LWaveOutQueue::BreakLoop()
{
    std::lock_guard<std::mutex> lock(mLock);
    if (bInLoop)
        bBreakLoop = true;
}

uint32_t LWaveOutQueue::GetPosition() const
{
    std::lock_guard<std::mutex> lock(mLock);
    return uPosition;
}

void LWaveOutQueue::FinishFront(size_t nCount)
{
    for (size_t i = 0; i < nCount; ++i) {
        dqFinished.push_back(dqHeaders.front());
        dqHeaders.pop_front();
    }
}

void LWaveOutQueue::MarkFinishedDone()
{
    for (WAVEHDR* pHdr : dqFinished)
        SetWaveHeaderFlags(*pHdr, WHDR_DONE, WHDR_INQUEUE);
    dqFinished.clear();
}

void LWaveOutQueue::Played()
{
    bool bSignal = false;
    {
        std::lock_guard<std::mutex> lock(mLock);
        uPosition += nPulled;
        nPulled = 0;
        bSignal = !dqFinished.empty();
        MarkFinishedDone();
    }
    if (bSignal && pEvent)
        pEvent->Set();
}

// The buffer at iCur has been played to its end: go on after it, back to the
// start of the loop, or finish the loop.
void LWaveOutQueue::EndOfBuffer(WAVEHDR* pHdr)
{
    uOffset = 0;
    if (!bInLoop) {
        FinishFront(1);
        return;
    }
    if (!(pHdr->dwFlags & WHDR_ENDLOOP)) {
        ++iCur;
        return;
    }
    // A pass that played nothing would spin here for its whole count.
    if (--uLoopsLeft > 0 && !bBreakLoop && bLoopPassHadData) {
        iCur = 0;
        bLoopPassHadData = false;
        return;
    }
    FinishFront(iCur + 1);
    iCur = 0;
    bInLoop = bBreakLoop = false;
}

uint32_t LWaveOutQueue::Pull(int16_t* pOut, uint32_t nFrames)
{
    std::lock_guard<std::mutex> lock(mLock);
    uint32_t nCopied = 0;
    while (!bPaused && nCopied < nFrames && iCur < dqHeaders.size()) {
        WAVEHDR* pHdr = dqHeaders[iCur];
        if (uOffset == 0 && !bInLoop && (pHdr->dwFlags & WHDR_BEGINLOOP)) {
            bInLoop = true;
            bLoopPassHadData = false;
            uLoopsLeft = std::max<uint32_t>(1, pHdr->dwLoops);
        }
        uint32_t uUsable = pHdr->dwBufferLength - pHdr->dwBufferLength % nBlockAlign;
        uint32_t nTake = std::min((uUsable - uOffset) / nBlockAlign, nFrames - nCopied);
        std::memcpy(reinterpret_cast<char*>(pOut) + size_t(nCopied) * nBlockAlign,
            pHdr->lpData + uOffset, size_t(nTake) * nBlockAlign);
        uOffset += nTake * nBlockAlign;
        nCopied += nTake;
        bLoopPassHadData |= nTake > 0;
        if (uOffset >= uUsable)
            EndOfBuffer(pHdr);
    }
    nPulled += nCopied;
    return nCopied;
}

void LWaveOutQueue::WaitForWork(uint32_t uTimeoutMs)
{
    std::unique_lock<std::mutex> lock(mLock);
    cvWork.wait_for(
        lock, std::chrono::milliseconds(uTimeoutMs), [this] { return bQuit || HasWork(); });
}

void LWaveOutQueue::Quit()
{
    {
        std::lock_guard<std::mutex> lock(mLock);
        bQuit = true;
    }
    cvWork.notify_all();
}
