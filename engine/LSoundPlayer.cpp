#include "engine/LSoundPlayer.h"

#include "audio/LSampleConvert.h"
#include "audio/LSoundTime.h"
#include "effects/LSRCPeakLimit.h"
#include "platform/LTrace.h"

#include <algorithm>
#include <chrono>
#include <thread>

LSoundPlayer::LSoundPlayer() = default;

LSoundPlayer::~LSoundPlayer()
{
    pNotify = &defaultNotify;
    Stop();
    StopThreadTimed(5000);
}

void LSoundPlayer::SetNotify(LSoundPlayerNotify* p, uintptr_t ctx)
{
    pNotify = p ? p : &defaultNotify;
    pNotifyContext = ctx;
}

int32_t LSoundPlayer::PositionMs() const
{
    return lssSource ? LSoundTime::FramesToMs(sPosition, lssSource->GetSampleRate()) : 0;
}

bool LSoundPlayer::Start(SourceHandle hSource, uint32_t uMode)
{
    Stop();
    if (!hSource || hSource->IsError())
        return false;
    if (hSource->GetPeak() > uint32_t(kInternalFullScale)) {
        hSource = LSRCPeakLimit::OpenSource(std::move(hSource));
        if (hSource->IsError())
            return false;
    }
    nChannels = uint8_t(std::max(1, hSource->GetChannels()));
    WAVEFORMATEX wfx {};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = nChannels;
    wfx.nSamplesPerSec = uint32_t(hSource->GetSampleRate());
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = uint16_t(nChannels * 2);
    wfx.nAvgBytesPerSec = wfx.nBlockAlign * wfx.nSamplesPerSec;
    hWaveEvent.Reset();
    if (hWaveOut.Open(cDevice, wfx, &hWaveEvent, 0) != MMSYSERR_NOERROR
        && hWaveOut.Open(cDevice, wfx, &hWaveEvent, WAVE_MAPPED) != MMSYSERR_NOERROR)
        return false;
    lssSource = std::move(hSource);
    nBufferFrames = std::clamp(lssSource->GetSampleRate() / 10, 20, 8192);
    const size_t uBufferSamples = size_t(nChannels) * size_t(nBufferFrames);
    pConvert.assign(uBufferSamples, 0);
    memory.assign(uBufferSamples * kBuffers, 0);
    for (int i = 0; i < kBuffers; ++i) {
        WAVEHDR& hdr = aHeaders[size_t(i)].hdr;
        hdr = WAVEHDR {};
        hdr.lpData = reinterpret_cast<char*>(memory.data() + uBufferSamples * size_t(i));
        hdr.dwBufferLength = uint32_t(uBufferSamples * 2);
        hWaveOut.PrepareHeader(&hdr);
        hdr.dwFlags |= WHDR_DONE;
        hdr.dwUser = kNoPosition;
    }
    wState = kOpen | kTakeOff;
    if (uMode & 1) {
        hWaveOut.Pause();
        wState |= kPaused;
    } else if (uMode & 2) {
        hWaveOut.Pause();
        wState |= kHeld;
    }
    bNotifyStop = false;
    bNotifyPosition = false;
    iNextHeader = 0;
    sPosition = lssSource->GetPosition();
    LThread::Start(kPriorityBelowNormal);
    if (uMode & 1)
        pNotify->spntfPause(pNotifyContext);
    else
        pNotify->spntfPlay(pNotifyContext);
    pNotify->spntfPosition(PositionMs(), pNotifyContext);
    return true;
}

int32_t LSoundPlayer::FillHeader(Header& h, int32_t iFrames)
{
    lssSource->Read(pConvert.data(), iFrames);
    auto* p = reinterpret_cast<int16_t*>(h.hdr.lpData);
    const size_t n = size_t(iFrames) * nChannels;
    for (size_t i = 0; i < n; ++i)
        p[i] = LSampleConvert::ToPcm16(pConvert[i]);
    h.levels.Measure(pConvert.data(), size_t(iFrames), nChannels);
    return iFrames;
}

void LSoundPlayer::ThreadFunction()
{
    int iFailures = 0;
    while (!IsStopRequested()) {
        hWaveEvent.Reset();
        std::unique_lock<std::mutex> lock(csLock);
        Header& h = aHeaders[iNextHeader];
        if (!WaveHeaderDone(h.hdr)) {
            if (wState & kTakeOff) {
                SetPriority(kPriorityTimeCritical);
                wState &= uint16_t(~kTakeOff);
            }
            if (++iFailures > kBuffers) {
                if (wState & kCued) {
                    iFailures = 0; // the looping buffer never returns
                } else {
                    LTrace("LSoundPlayer::ThreadFunction buffers are not being returned");
                    bNotifyStop = true;
                    PostNotify();
                }
            }
            lock.unlock();
            hWaveEvent.WaitSignalDual(GetStopSignal(), 150);
            continue;
        }
        iFailures = 0;
        if (h.hdr.dwUser != kNoPosition) {
            sPosition = int32_t(h.hdr.dwUser);
            levels = h.levels;
            h.hdr.dwUser = kNoPosition;
            bNotifyPosition = true;
            PostNotify();
        }
        const int64_t iRemaining = int64_t(lssSource->GetLength()) - lssSource->GetPosition();
        if (iRemaining < 1) {
            // A source shorter than the held start's 42 buffers: play what
            // there is rather than wait forever.
            if (wState & kHeld) {
                wState &= uint16_t(~kHeld);
                hWaveOut.Restart();
            }
            // The source is used up: report the buffers as they finish, then stop.
            bool bAllDone = true;
            for (int k = 1; k < kBuffers; ++k) {
                Header& o = aHeaders[(iNextHeader + k) % kBuffers];
                if (!WaveHeaderDone(o.hdr)) {
                    bAllDone = false;
                    break;
                }
                if (o.hdr.dwUser != kNoPosition) {
                    sPosition = int32_t(o.hdr.dwUser);
                    levels = o.levels;
                    o.hdr.dwUser = kNoPosition;
                    bNotifyPosition = true;
                    PostNotify();
                }
            }
            if (bAllDone) {
                LTrace("LSoundPlayer::ThreadFunction All buffers empty so notify stopped");
                bNotifyStop = true;
                PostNotify();
                return;
            }
            lock.unlock();
            hWaveEvent.WaitSignalDual(GetStopSignal(), 150);
            continue;
        }
        const int32_t n = int32_t(std::min<int64_t>(iRemaining, nBufferFrames));
        const int32_t iOld = lssSource->GetPosition();
        FillHeader(h, n);
        h.hdr.dwBufferLength = uint32_t(nChannels) * uint32_t(n) * 2;
        h.hdr.dwUser = uintptr_t(uint32_t(iOld + n));
        h.hdr.dwFlags &= ~(WHDR_DONE | WHDR_BEGINLOOP | WHDR_ENDLOOP);
        hWaveOut.Write(&h.hdr);
        iNextHeader = uint8_t((iNextHeader + 1) % kBuffers);
        if (iNextHeader == 42 && (wState & kHeld)) {
            wState &= uint16_t(~kHeld);
            hWaveOut.Restart();
        }
    }
    hWaveOut.Reset();
}

void LSoundPlayer::EvNotify()
{
    if (!(wState & kOpen))
        return;
    if (bNotifyStop) {
        pNotify->spntfPosition(PositionMs(), pNotifyContext);
        Stop();
        return;
    }
    if (bNotifyPosition.exchange(false)) {
        LSoundLevels copy;
        {
            std::lock_guard<std::mutex> lock(csLock);
            copy = levels;
        }
        pNotify->spntfPosition(PositionMs(), pNotifyContext);
        pNotify->spntfLevels(copy, pNotifyContext);
    }
}

void LSoundPlayer::Stop()
{
    if (!(wState & kOpen))
        return;
    StopThreadTimed(5000);
    hWaveOut.Reset();
    // A driver may hold a buffer a little after the reset: one budget of
    // 1000 ms for all of them.
    auto tEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
    for (Header& h : aHeaders) {
        while (hWaveOut.UnprepareHeader(&h.hdr) == WAVERR_STILLPLAYING
            && std::chrono::steady_clock::now() < tEnd)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    memory.clear();
    memory.shrink_to_fit();
    pConvert.clear();
    lssSource.Reset();
    hWaveOut.Close();
    wState = 0;
    bNotifyStop = false;
    bNotifyPosition = false;
    sPosition = 0;
    pNotify->spntfStop(pNotifyContext);
}

void LSoundPlayer::Pause()
{
    if (!(wState & kOpen) || (wState & kPaused))
        return;
    hWaveOut.Pause();
    wState |= kPaused;
    pNotify->spntfPause(pNotifyContext);
}

void LSoundPlayer::ResetHeaders()
{
    hWaveOut.Reset();
    for (Header& h : aHeaders)
        h.hdr.dwUser = kNoPosition;
}

void LSoundPlayer::CueBuffer()
{
    Header& h = aHeaders[0];
    const int32_t m = (nBufferFrames + 3) / 4;
    lssSource->Read(pConvert.data(), m);
    auto* p = reinterpret_cast<int16_t*>(h.hdr.lpData);
    const size_t uSnippet = size_t(m) * nChannels, uAll = size_t(nBufferFrames) * nChannels;
    for (size_t i = 0; i < uSnippet; ++i)
        p[i] = LSampleConvert::ToPcm16(pConvert[i]);
    for (size_t i = uSnippet; i < uAll; ++i)
        p[i] = p[i % uSnippet];
    h.levels.Measure(pConvert.data(), size_t(m), nChannels);
    h.hdr.dwBufferLength = uint32_t(uAll * 2);
    h.hdr.dwUser = uintptr_t(uint32_t(lssSource->GetPosition()));
    h.hdr.dwFlags = (h.hdr.dwFlags & ~WHDR_DONE) | WHDR_BEGINLOOP | WHDR_ENDLOOP;
    h.hdr.dwLoops = 0x7FFFFFFF;
    hWaveOut.Write(&h.hdr);
    iNextHeader = 1;
    pNotify->spntfLevels(h.levels, pNotifyContext);
}

void LSoundPlayer::Cue()
{
    if (!(wState & kOpen))
        return;
    if (wState & kCued) {
        if (wState & kPaused) {
            hWaveOut.Restart();
            wState &= uint16_t(~kPaused);
        }
        return;
    }
    {
        std::lock_guard<std::mutex> lock(csLock);
        ResetHeaders();
        lssSource->Seek(sPosition);
        sPosition = lssSource->GetPosition();
        CueBuffer();
        wState = kOpen | kCued | kTakeOff;
        bNotifyStop = false;
        bNotifyPosition = false;
        SetPriority(kPriorityLowest);
    }
    pNotify->spntfCue(pNotifyContext);
    pNotify->spntfPosition(PositionMs(), pNotifyContext);
}

void LSoundPlayer::Play()
{
    if (!(wState & kOpen))
        return;
    if (wState & kCued) {
        hWaveOut.BreakLoop();
        wState &= uint16_t(~kCued);
    }
    if (wState & kPaused) {
        hWaveOut.Restart();
        wState &= uint16_t(~kPaused);
    }
    pNotify->spntfPlay(pNotifyContext);
}

void LSoundPlayer::Seek(int32_t iFrame)
{
    if (!(wState & kOpen))
        return;
    {
        std::lock_guard<std::mutex> lock(csLock);
        ResetHeaders();
        lssSource->Seek(iFrame);
        sPosition = lssSource->GetPosition();
        if (wState & kPaused)
            hWaveOut.Pause();
        if (wState & kCued)
            CueBuffer();
        else
            iNextHeader = 0;
        SetPriority(kPriorityLowest);
        wState |= kTakeOff;
        bNotifyStop = false;
        bNotifyPosition = false;
    }
    pNotify->spntfPosition(PositionMs(), pNotifyContext);
}
