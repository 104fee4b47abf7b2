#pragma once

#include "audio/LSoundSourceBase.h"
#include "engine/LSoundLevels.h"
#include "platform/LSignalObject.h"
#include "platform/sound/LWaveOut.h"
#include "process/LThread.h"
#include "process/LThreadQueuedNotify.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// Receives the player's notices, always on the thread that made the player.
class LSoundPlayerNotify {
public:
    virtual ~LSoundPlayerNotify() = default;
    virtual void spntfPlay(uintptr_t ctx) { }
    virtual void spntfStop(uintptr_t ctx) { }
    virtual void spntfCue(uintptr_t ctx) { }
    virtual void spntfPause(uintptr_t ctx) { }
    virtual void spntfPosition(int32_t iMs, uintptr_t ctx) { }
    virtual void spntfLevels(const LSoundLevels& levels, uintptr_t ctx) { }
};

// Plays a source through a wave-out device on a thread of its own: a ring
// of 64 buffers of 100 ms, a held or paused start, pause, seek, and a scrub
// mode in which a 25 ms snippet at the position loops until the user moves
// on. Position and levels come back as notices.
class LSoundPlayer : public LThread, public LThreadQueuedNotify {
public:
    static constexpr int kBuffers = 64;
    static constexpr uint16_t kOpen = 0x01, kPaused = 0x02, kCued = 0x04, kHeld = 0x08,
                              kTakeOff = 0x10;
    static constexpr uintptr_t kNoPosition = 0x80000000u;

    LSoundPlayer();
    ~LSoundPlayer() override;

    void SetNotify(LSoundPlayerNotify* p, uintptr_t ctx);
    void SetDevice(int iDevice) { cDevice = int8_t(iDevice); }

    // Mode bit 0 starts paused, bit 1 holds the start until 42 buffers are
    // queued. False (nothing open) for a source in error or a device that
    // does not open.
    bool Start(SourceHandle hSource, uint32_t uMode);
    void Stop();
    void Pause();
    void Cue();
    void Play();
    void Seek(int32_t iFrame);

    uint16_t GetState() const { return wState; }
    int32_t GetPosition() const { return sPosition; }
    int32_t GetBufferFrames() const { return nBufferFrames; }

protected:
    void ThreadFunction() override;
    void EvNotify() override;

private:
    struct Header {
        WAVEHDR hdr;
        LSoundLevels levels;
    };
    // Reads up to nBufferFrames into header i as 16-bit PCM; frames read.
    int32_t FillHeader(Header& h, int32_t iFrames);
    void CueBuffer();
    void ResetHeaders();
    int32_t PositionMs() const;

    std::mutex csLock;
    LSignalObject hWaveEvent;
    int8_t cDevice = 0;
    LSoundPlayerNotify defaultNotify;
    LSoundPlayerNotify* pNotify = &defaultNotify;
    uintptr_t pNotifyContext = 0;
    // Written by the player thread under csLock, read by the owner at any time.
    std::atomic<int32_t> sPosition { 0 };
    std::atomic<uint16_t> wState { 0 };
    std::atomic<bool> bNotifyStop { false };
    std::atomic<bool> bNotifyPosition { false };
    std::vector<int16_t> memory; // the sample data of all 64 buffers
    SourceHandle lssSource;
    LSoundLevels levels;
    std::vector<int32_t> pConvert;
    LWaveOut hWaveOut;
    int32_t nBufferFrames = 0;
    uint8_t nChannels = 1;
    std::array<Header, kBuffers> aHeaders {};
    uint8_t iNextHeader = 0;
};
