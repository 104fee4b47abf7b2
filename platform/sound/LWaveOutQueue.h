#pragma once

#include "platform/sound/LWaveDefs.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

class LSignalObject;

// The buffers queued on a wave-out device and where playback stands in them:
// the device's thread pulls frames in order, following loops, and marks
// finished buffers done. Shared by every output backend, so they all keep
// the same buffer rules (see LWaveOut). Thread-safe.
class LWaveOutQueue {
public:
    LWaveOutQueue(uint16_t nBlockAlign, LSignalObject* pEvent);

    uint32_t Write(WAVEHDR* pHdr);
    bool IsQueued(const WAVEHDR* pHdr) const;
    bool IsEmpty() const;
    void Pause();
    void Restart();
    void Reset();
    void BreakLoop();
    uint32_t GetPosition() const;

    // Device thread: copies up to nFrames frames of queued audio into pOut and
    // returns how many (0 while paused or starved). The buffers finished by
    // them are marked done by Played, once the device has taken the frames.
    uint32_t Pull(int16_t* pOut, uint32_t nFrames);
    void Played();
    // Device thread: waits until there is something to pull, Quit is called or
    // uTimeoutMs passes.
    void WaitForWork(uint32_t uTimeoutMs);
    void Quit();

private:
    bool HasWork() const { return !bPaused && iCur < dqHeaders.size(); }
    void FinishFront(size_t nCount);
    void EndOfBuffer(WAVEHDR* pHdr);
    void MarkFinishedDone();

    mutable std::mutex mLock;
    std::condition_variable cvWork;
    const uint16_t nBlockAlign;
    LSignalObject* const pEvent;
    std::deque<WAVEHDR*> dqHeaders; // queued, in order; a running loop starts at the front
    std::deque<WAVEHDR*> dqFinished; // pulled to their end, done once played
    uint32_t nPulled = 0; // frames pulled, not yet played
    size_t iCur = 0; // index of the buffer playing
    uint32_t uOffset = 0; // bytes of it played
    bool bPaused = false;
    bool bQuit = false;
    bool bInLoop = false;
    bool bBreakLoop = false;
    bool bLoopPassHadData = false;
    uint32_t uLoopsLeft = 0;
    uint32_t uPosition = 0; // frames, wrapping
};
