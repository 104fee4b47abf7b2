#pragma once

#include "platform/sound/LPcm16WavReader.h"
#include "platform/sound/LRealTimePacer.h"
#include "platform/sound/LSoundInBackend.h"

#include <memory>
#include <vector>

// The "null" input: delivers the frames of the WAV file named by
// ORVENNA_NULL_DEVICE_INPUT (from its start at each open, then silence), or
// silence, in real time while the device is started. A file with other
// channels is mapped channel by channel (missing ones repeat the last);
// its rate is not converted.
class LNullSoundIn : public LSoundInBackend {
public:
    // For tests of what lies above: how the next opens misbehave.
    struct Faults {
        uint32_t uOpenDelayMs = 0; // the open takes this long
        bool bOpens = true; // then fails when false
        int64_t iFailAfterFrames = -1; // every capture fails after these (-1: never)
    };
    static void SetFaults(const Faults& faults);

    ~LNullSoundIn() override;

protected:
    bool OpenDevice(uint32_t uRate, uint16_t nChannels) override;
    bool Capture(int16_t* pFrames, uint32_t nFrames) override;
    bool HoldsWhileStopped() const override { return true; }
    void Resume() override;
    void CloseDevice() override { }

private:
    std::unique_ptr<LRealTimePacer> pPacer;
    LPcm16WavReader wavInput;
    bool bHaveInput = false;
    uint16_t nChannels = 0;
    std::vector<int16_t> vFileFrames;
    Faults faults; // copied at open
    int64_t iDelivered = 0;
};
