#pragma once

#include "platform/sound/LPcm16WavWriter.h"
#include "platform/sound/LRealTimePacer.h"
#include "platform/sound/LSoundOutBackend.h"

#include <memory>
#include <vector>

// The "null" output: plays in real time into nothing. With
// ORVENNA_NULL_DEVICE_CAPTURE set, everything played while the device is open
// goes into that WAV file (rewritten at each open); with the process-wide
// capture switched on, it is also kept in memory (for tests).
class LNullSoundOut : public LSoundOutBackend {
public:
    ~LNullSoundOut() override;

    // Starts (or ends) keeping the frames played by every null output in
    // memory, dropping what was kept.
    static void SetCaptureEnabled(bool bEnabled);
    // The samples kept since the capture was switched on or last taken.
    static std::vector<int16_t> TakeCapture();
    // Times a null output ran dry after playing (each end of playback counts
    // once, every other time is a gap: the player was late), and the worst
    // lateness of the device's own clock in microseconds, since start-up.
    static uint32_t GetStarvations();
    static uint32_t GetWorstLatenessUs();

protected:
    bool OpenDevice(uint32_t uRate, uint16_t nChannels) override;
    void Play(const int16_t* pFrames, uint32_t nFrames) override;
    void Idle() override;
    void CloseDevice() override;

private:
    std::unique_ptr<LRealTimePacer> pPacer;
    LPcm16WavWriter wavCapture;
    uint16_t nChannels = 0;
    bool bPlaying = false;
};
