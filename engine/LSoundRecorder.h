#pragma once

#include "audio/LSoundSinkBase.h"
#include "engine/LRecordGate.h"
#include "engine/LSoundLevels.h"
#include "platform/LSignalObject.h"
#include "platform/sound/LWaveIn.h"
#include "process/LThread.h"
#include "process/LThreadQueuedNotify.h"

#include <atomic>
#include <cstdint>
#include <mutex>

// Receives the recorder's notices, always on the thread that made the
// recorder; ctx is the value given to SetNotify.
class LSoundRecorderNotify {
public:
    virtual ~LSoundRecorderNotify() = default;
    virtual void srntfRecording(uintptr_t ctx) { }
    virtual void srntfWaiting(uintptr_t ctx) { }
    virtual void srntfStop(uintptr_t ctx) { }
    virtual void srntfPosition(int32_t iMs, uintptr_t ctx) { }
    virtual void srntfLevels(const LSoundLevels& levels, uintptr_t ctx) { }
};

// Captures a wave-in device into a sink on a thread of its own: a ring of 30
// buffers of a tenth of a second, 16-bit at the sink's rate and channels,
// through an LRecordGate (DC removal, levels, automatic trim and voice
// activation). The sink is written as the audio arrives, so a take that ends
// by a failing device (or a killed program) keeps what came before.
//
// Start, Restart, Stop and the notices belong to the thread that made the
// recorder; the sink handle given to Start is held until Stop and touched by
// that thread only while the capture thread is not running.
class LSoundRecorder : public LThread, public LThreadQueuedNotify {
public:
    static constexpr int kBuffers = 30;
    static constexpr uint32_t kWaitForGo = 0x01, kStartRecording = 0x02;
    // No buffer for this long while capturing: the device has failed.
    static constexpr uint32_t kDeviceSilenceMs = 2000;

    LSoundRecorder();
    ~LSoundRecorder() override;

    void SetNotify(LSoundRecorderNotify* p, uintptr_t ctx);
    // Wave-in device number; -1 is the default device.
    void SetDevice(int iDevice) { cDevice = int8_t(iDevice); }

    // Stops a running capture, then captures into hSink. False for a missing
    // sink, one in error, or a device that does not open.
    bool Start(SinkHandle hSink, int32_t iMaxTimeMs, int8_t cThreshold, int32_t iStopHoldMs,
        uint32_t uFlags);
    // While capturing: back to frame 0 of the sink, anew in WAITING.
    void Restart();
    // Ends the capture 50 ms after the last loud buffer, releases the sink and
    // sends srntfStop.
    void Stop();
    // Lets a start made with kWaitForGo begin.
    void Go() { hGo.Set(); }

    uint8_t GetState() const { return cState; }
    int32_t GetTimeMs() const { return iLastLoudMs; }
    // Times input was lost in this capture so far.
    uint32_t GetDropouts() const { return uDropouts; }
    // Frames the device delivered (or lost) since the capture started.
    uint32_t GetFramesOffered() const { return uFramesOffered; }
    // Frames the sink held at the last position notice (what is safely in it).
    int32_t GetFramesWritten() const { return iFramesWritten; }
    // The last capture ended because the device stopped delivering.
    bool IsDeviceLost() const { return bDeviceLost; }

protected:
    void ThreadFunction() override;
    void EvNotify() override;

private:
    // The device opened (or failed to) within uWaitMs; false when it failed.
    bool RunThread(uint32_t uWaitMs);
    bool OpenDevice(uint16_t nChannels, uint32_t uRate);
    // Takes the buffers in ring order until stopped; the next one's index.
    int Capture(LRecordGate& gate, std::vector<WAVEHDR>& headers);
    void FlushAfterReset(LRecordGate& gate, std::vector<WAVEHDR>& headers, int iNext);
    void Publish(LRecordGate& gate);
    void SendState();

    int8_t cDevice = -1;
    LSoundRecorderNotify defaultNotify;
    LSoundRecorderNotify* pNotify = &defaultNotify;
    uintptr_t pNotifyContext = 0;
    // Written by the capture thread, read by the owner at any time.
    std::atomic<uint8_t> cState { 0 };
    std::atomic<int32_t> iLastLoudMs { 0 };
    std::atomic<bool> bNotifyStop { false };
    std::atomic<bool> bNotifyPosition { false };
    std::atomic<bool> bNotifyState { false };
    std::atomic<bool> bDeviceLost { false };
    std::atomic<uint32_t> uDropouts { 0 };
    std::atomic<uint32_t> uFramesOffered { 0 };
    std::atomic<int32_t> iFramesWritten { 0 };
    bool bActive = false; // a sink is held (owner thread)
    SinkHandle lssSink;
    LSignalObject hStarted, hGo, hWaveEvent;
    LWaveIn hWaveIn;
    std::mutex csLevels;
    LSoundLevels levels;
    LRecordGate::Settings settings;
};
