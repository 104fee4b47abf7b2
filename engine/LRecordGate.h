#pragma once

#include "audio/LSoundSinkBase.h"
#include "engine/LSoundLevels.h"

#include <cstdint>
#include <vector>

// What the recorder does with each captured buffer: 16-bit samples shifted
// into the internal scale, the DC offset removed, the levels measured, and
// the buffer written to the sink or held back, by the start threshold (a
// buffer at or above it ends WAITING, with up to half a buffer of pre-roll)
// and the stop threshold 5 dB below it (quiet longer than the hold time
// drops back to WAITING, 450 ms after the last loud buffer).
//
// Integer arithmetic only. Made and used by the recorder's thread (tests
// drive it directly); the sink is the caller's and must outlive the gate.
class LRecordGate {
public:
    enum State : uint8_t { kStopped = 0, kWaiting = 1, kRecording = 2 };
    static constexpr int32_t kKeepAfterHoldMs = 450;

    struct Settings {
        int32_t iMaxTimeMs = 0; // 0: no limit
        int8_t cStartThreshold = -127; // dB; -127 keeps every frame
        int32_t iStopHoldMs = 216000000;
        State startState = kWaiting;
    };

    // nBuf: frames of a full buffer. The sink's rate and channels are the
    // capture's; its current time is where the last loud buffer ended.
    LRecordGate(LSoundSinkBase& sink, int32_t nBuf, const Settings& settings);

    // One captured buffer of iFrames (1..nBuf) interleaved 16-bit frames.
    void Process(const int16_t* pIn, int32_t iFrames);
    // A part buffer the device returned after it was stopped: written
    // while RECORDING, without levels and without moving the trim point
    // (unless there is no threshold).
    void Flush(const int16_t* pIn, int32_t iFrames);

    State GetState() const { return state; }
    int32_t GetLastLoudMs() const { return iLastLoudMs; }
    const LSoundLevels& GetLevels() const { return levels; }
    // The maximum time was passed.
    bool IsTimeUp() const { return bTimeUp; }
    // The state changed between WAITING and RECORDING; cleared by reading.
    bool TakeStateChanged();

    // Peak level of a channel in dB: 20 log10(peak / 2^17), rounded half
    // away from zero, -127..127; -127 for a peak of 0.
    static int8_t PeakLevel(uint32_t uPeak);
    static int8_t StopThreshold(int8_t cStart);

private:
    // The input into the work buffer, internal scale, DC removed.
    void Convert(const int16_t* pIn, int32_t iFrames);
    // Levels of frames [0, iFrames) of the work buffer.
    void MeasurePeaks(int32_t iFrames, LSoundLevels& out) const;
    static int8_t Overall(const LSoundLevels& l);
    void Wait(int32_t iFrames);
    void Record(int32_t iFrames);
    int32_t SinkMs() const;
    void KeepAsPrevious(int32_t iFrames);

    LSoundSinkBase& sink;
    const int32_t nBuf;
    const int iChannels;
    const Settings settings;
    const int8_t cStopThreshold;
    const int32_t iDcK;
    State state;
    int32_t iLastLoudMs;
    bool bTimeUp = false;
    bool bStateChanged = false;
    bool bHavePrevious = false;
    int32_t iPreviousFrames = 0;
    std::vector<int64_t> vDcAccumulators;
    std::vector<int32_t> vWork, vPrevious;
    LSoundLevels levels;
};
