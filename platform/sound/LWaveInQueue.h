#pragma once

#include "platform/sound/LWaveDefs.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

class LSignalObject;

// The empty buffers queued on a wave-in device: the device's thread pushes
// captured frames into them in order and returns each full one done. Shared
// by every input backend. Thread-safe.
class LWaveInQueue {
public:
    LWaveInQueue(uint16_t nBlockAlign, LSignalObject* pEvent);

    uint32_t AddBuffer(WAVEHDR* pHdr);
    bool IsQueued(const WAVEHDR* pHdr) const;
    bool IsEmpty() const;
    void Start();
    // Returns the partly filled buffer; empty ones stay queued.
    void Stop();
    // Stops and returns every buffer.
    void Reset();
    bool IsStarted() const;
    uint32_t GetPosition() const;
    // Times captured frames were lost: no buffer was queued to take them, or
    // the device reported an overrun or a failed read.
    uint32_t GetDropouts() const;
    // Device thread: the device lost frames before the ones it delivers next.
    void CountDropout();

    // Device thread: stores captured frames; those beyond the queued buffers
    // are lost. Ignored while stopped.
    void Push(const int16_t* pIn, uint32_t nFrames);
    // Device thread: waits until the device is started, Quit is called or
    // uTimeoutMs passes.
    void WaitForStart(uint32_t uTimeoutMs);
    void Quit();

private:
    void FinishFront();

    mutable std::mutex mLock;
    std::condition_variable cvStart;
    const uint16_t nBlockAlign;
    LSignalObject* const pEvent;
    std::deque<WAVEHDR*> dqHeaders;
    bool bStarted = false;
    bool bQuit = false;
    uint32_t uPosition = 0; // frames, wrapping
    uint32_t uDropouts = 0;
};
