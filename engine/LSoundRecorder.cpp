#include "engine/LSoundRecorder.h"

#include "audio/LSoundTime.h"
#include "platform/LTrace.h"

#include <algorithm>
#include <chrono>
#include <vector>

LSoundRecorder::LSoundRecorder() = default;

LSoundRecorder::~LSoundRecorder()
{
    pNotify = &defaultNotify;
    Stop();
    StopThreadTimed(5000);
}

void LSoundRecorder::SetNotify(LSoundRecorderNotify* p, uintptr_t ctx)
{
    pNotify = p ? p : &defaultNotify;
    pNotifyContext = ctx;
}

bool LSoundRecorder::Start(
    SinkHandle hSink, int32_t iMaxTimeMs, int8_t cThreshold, int32_t iStopHoldMs, uint32_t uFlags)
{
    Stop();
    if (!hSink || hSink->IsError())
        return false;
    lssSink = std::move(hSink);
    bActive = true;
    settings.iMaxTimeMs = iMaxTimeMs;
    settings.cStartThreshold = cThreshold;
    settings.iStopHoldMs = iStopHoldMs;
    settings.startState
        = (uFlags & kStartRecording) ? LRecordGate::kRecording : LRecordGate::kWaiting;
    iLastLoudMs = LSoundTime::FramesToMs(lssSink->GetFramesWritten(), lssSink->GetSampleRate());
    iFramesWritten = lssSink->GetFramesWritten();
    {
        std::lock_guard<std::mutex> lock(csLevels);
        levels.bChannels = uint8_t(std::max(1, lssSink->GetChannels()));
        std::fill(levels.aLevels, levels.aLevels + levels.bChannels, int8_t(-127));
    }
    uDropouts = 0;
    if (uFlags & kWaitForGo)
        hGo.Reset();
    else
        hGo.Set();
    if (!RunThread(1500)) {
        lssSink.Reset();
        bActive = false;
        return false;
    }
    SendState();
    pNotify->srntfPosition(iLastLoudMs, pNotifyContext);
    return true;
}

bool LSoundRecorder::RunThread(uint32_t uWaitMs)
{
    cState = settings.startState;
    bNotifyStop = false;
    bNotifyPosition = false;
    bNotifyState = false;
    bDeviceLost = false;
    uFramesOffered = 0;
    hStarted.Reset();
    LThread::Start(GetCurrentPriority());
    hStarted.Wait(uWaitMs);
    if (cState != 0)
        return true; // a device still opening reports a failure as a stop
    StopThreadTimed(5000);
    bNotifyStop = false;
    return false;
}

bool LSoundRecorder::OpenDevice(uint16_t nChannels, uint32_t uRate)
{
    WAVEFORMATEX wfx {};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = nChannels;
    wfx.nSamplesPerSec = uRate;
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = uint16_t(nChannels * 2);
    wfx.nAvgBytesPerSec = wfx.nBlockAlign * uRate;
    hWaveEvent.Reset();
    return hWaveIn.Open(cDevice, wfx, &hWaveEvent, 0) == MMSYSERR_NOERROR
        || hWaveIn.Open(cDevice, wfx, &hWaveEvent, WAVE_MAPPED) == MMSYSERR_NOERROR;
}

void LSoundRecorder::ThreadFunction()
{
    const int nChannels = std::max(1, lssSink->GetChannels());
    const int32_t iRate = lssSink->GetSampleRate() > 0 ? lssSink->GetSampleRate() : 44100;
    if (!OpenDevice(uint16_t(nChannels), uint32_t(iRate))) {
        LTrace("LSoundRecorder::ThreadFunction device %d does not open", int(cDevice));
        cState = 0;
        bNotifyStop = true;
        hStarted.Set();
        PostNotify();
        return;
    }
    hWaveIn.Stop();
    const int32_t nBuf = std::clamp(iRate / 10, 20, 8192);
    const size_t uSamples = size_t(nBuf) * size_t(nChannels);
    std::vector<int16_t> memory(uSamples * kBuffers, 0);
    std::vector<WAVEHDR> headers(kBuffers);
    for (int i = 0; i < kBuffers; ++i) {
        WAVEHDR& h = headers[size_t(i)];
        h.lpData = reinterpret_cast<char*>(memory.data() + uSamples * size_t(i));
        h.dwBufferLength = uint32_t(uSamples * 2);
        hWaveIn.PrepareHeader(&h);
        hWaveIn.AddBuffer(&h);
    }
    LRecordGate gate(*lssSink, nBuf, settings);
    int iNext = 0;
    hStarted.Set();
    if (hGo.WaitSignalDual(GetStopSignal(), LSignalObject::kInfinite) == LSignalObject::kWaitObject0
        && !IsStopRequested()) {
        SetPriority(kPriorityTimeCritical);
        hWaveIn.Start();
        iNext = Capture(gate, headers);
    }
    // Stopped first, so the count of frames offered includes the last ones.
    hWaveIn.Stop();
    uint32_t uOffered = 0;
    hWaveIn.GetPosition(&uOffered);
    uFramesOffered = uOffered;
    hWaveIn.Reset();
    FlushAfterReset(gate, headers, iNext);
    for (WAVEHDR& h : headers)
        hWaveIn.UnprepareHeader(&h);
    hWaveIn.Close();
}

int LSoundRecorder::Capture(LRecordGate& gate, std::vector<WAVEHDR>& headers)
{
    using Clock = std::chrono::steady_clock;
    const uint32_t uBlockAlign = uint32_t(std::max(1, lssSink->GetChannels())) * 2;
    std::vector<int16_t> vCopy(headers[0].dwBufferLength / 2);
    const uint32_t uBase = uDropouts;
    auto tLast = Clock::now();
    size_t iNext = 0;
    while (!IsStopRequested()) {
        hWaveEvent.Reset();
        WAVEHDR& h = headers[iNext];
        if (!WaveHeaderDone(h)) {
            hWaveEvent.WaitSignalDual(GetStopSignal(), 200);
            if (Clock::now() - tLast > std::chrono::milliseconds(kDeviceSilenceMs)) {
                LTrace("LSoundRecorder::Capture the device stopped delivering");
                bDeviceLost = true;
                bNotifyStop = true;
                PostNotify();
                break;
            }
            continue;
        }
        tLast = Clock::now();
        const int32_t iFrames = int32_t(h.dwBytesRecorded / uBlockAlign);
        std::copy_n(reinterpret_cast<const int16_t*>(h.lpData), size_t(iFrames) * uBlockAlign / 2,
            vCopy.begin());
        hWaveIn.AddBuffer(&h); // at once, so the device always has room
        iNext = (iNext + 1) % kBuffers;
        if (iFrames == 0)
            continue;
        gate.Process(vCopy.data(), iFrames);
        uint32_t u = 0;
        hWaveIn.GetDropouts(&u);
        uDropouts = uBase + u;
        hWaveIn.GetPosition(&u);
        uFramesOffered = u;
        Publish(gate);
    }
    return int(iNext);
}

void LSoundRecorder::FlushAfterReset(LRecordGate& gate, std::vector<WAVEHDR>& headers, int iNext)
{
    const uint32_t uBlockAlign = uint32_t(std::max(1, lssSink->GetChannels())) * 2;
    for (int k = 0; k < kBuffers; ++k) {
        WAVEHDR& h = headers[size_t((iNext + k) % kBuffers)];
        if (WaveHeaderDone(h) && h.dwBytesRecorded > 0)
            gate.Flush(reinterpret_cast<const int16_t*>(h.lpData),
                int32_t(h.dwBytesRecorded / uBlockAlign));
    }
    iLastLoudMs = gate.GetLastLoudMs();
}

void LSoundRecorder::Publish(LRecordGate& gate)
{
    cState = gate.GetState();
    iLastLoudMs = gate.GetLastLoudMs();
    iFramesWritten = lssSink->GetFramesWritten();
    {
        std::lock_guard<std::mutex> lock(csLevels);
        levels = gate.GetLevels();
    }
    if (gate.TakeStateChanged())
        bNotifyState = true;
    if (gate.IsTimeUp())
        bNotifyStop = true;
    bNotifyPosition = true;
    PostNotify();
}

void LSoundRecorder::SendState()
{
    if (cState == LRecordGate::kRecording)
        pNotify->srntfRecording(pNotifyContext);
    else
        pNotify->srntfWaiting(pNotifyContext);
}

void LSoundRecorder::EvNotify()
{
    if (!bActive)
        return;
    if (bNotifyStop) {
        Stop();
        return;
    }
    if (bNotifyPosition.exchange(false)) {
        LSoundLevels copy;
        {
            std::lock_guard<std::mutex> lock(csLevels);
            copy = levels;
        }
        pNotify->srntfPosition(iLastLoudMs, pNotifyContext);
        pNotify->srntfLevels(copy, pNotifyContext);
    }
    if (bNotifyState.exchange(false))
        SendState();
}

void LSoundRecorder::Stop()
{
    if (!bActive)
        return;
    StopThreadTimed(5000);
    const int32_t iRate = lssSink->GetSampleRate();
    const int32_t iEnd = iLastLoudMs + 50;
    if (iEnd < LSoundTime::FramesToMs(lssSink->GetFramesWritten(), iRate))
        lssSink->Seek(LSoundTime::MsToFrames(iEnd, iRate));
    lssSink.Reset();
    bActive = false;
    iLastLoudMs = 0;
    cState = 0;
    bNotifyStop = false;
    bNotifyPosition = false;
    bNotifyState = false;
    pNotify->srntfStop(pNotifyContext);
}

void LSoundRecorder::Restart()
{
    if (!bActive)
        return;
    StopThreadTimed(5000);
    lssSink->Seek(0);
    iLastLoudMs = 0;
    iFramesWritten = 0;
    settings.startState = LRecordGate::kWaiting;
    hGo.Set();
    if (!RunThread(700)) {
        lssSink.Reset();
        bActive = false;
        pNotify->srntfStop(pNotifyContext);
        return;
    }
    pNotify->srntfWaiting(pNotifyContext);
    pNotify->srntfPosition(0, pNotifyContext);
}
