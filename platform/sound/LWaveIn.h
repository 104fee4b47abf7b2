#pragma once

#include "platform/acm/LWaveFormat.h"
#include "platform/sound/LWaveDefs.h"

#include <cstdint>
#include <memory>
#include <string>

class LSignalObject;
class LWaveInQueue;
class LSoundInBackend;

// A wave-in device: empty buffers are queued with AddBuffer and filled in
// order with 16-bit PCM while the device is started; a full buffer gets
// dwBytesRecorded and WHDR_DONE, and the event given to Open is set.
// Audio that arrives while no buffer is queued is lost.
//
// Device numbers as for LWaveOut, over the input devices: 0 the default
// input, then the others, then "null" last, which delivers the WAV file
// named by ORVENNA_NULL_DEVICE_INPUT (then silence), or silence, paced in
// real time. WAVE_MAPPER (-1) is the default device.
//
// One owner thread at a time (the recorder's thread).
class LWaveIn {
public:
    LWaveIn();
    ~LWaveIn(); // resets and closes when still open
    LWaveIn(const LWaveIn&) = delete;
    LWaveIn& operator=(const LWaveIn&) = delete;

    static int32_t GetDeviceCount();
    static std::string GetDeviceName(int32_t iDevice);
    static int32_t FindDevice(const std::string& strName); // -2 when none

    // As LWaveOut::Open; the device is open but stopped.
    uint32_t Open(int32_t iDevice, const WAVEFORMATEX& wfx, LSignalObject* pEvent,
                  uint32_t uFlags = 0);
    uint32_t Close(); // WAVERR_STILLPLAYING while buffers are queued
    bool IsOpen() const;

    uint32_t PrepareHeader(WAVEHDR* pHdr);
    uint32_t UnprepareHeader(WAVEHDR* pHdr);
    // Queues an empty buffer (dwBytesRecorded = 0, WHDR_DONE cleared).
    uint32_t AddBuffer(WAVEHDR* pHdr);

    uint32_t Start();
    // Stops capturing; a partly filled buffer is returned done with the bytes
    // it holds, empty buffers stay queued.
    uint32_t Stop();
    // Stops and returns every queued buffer done (the partly filled one with
    // its bytes, the others with 0).
    uint32_t Reset();
    // Frames captured since Open or the last Reset.
    uint32_t GetPosition(uint32_t* pFrames) const;

private:
    std::unique_ptr<LWaveInQueue> pQueue;
    std::unique_ptr<LSoundInBackend> pBackend;
};
