#pragma once

#include "platform/sound/LWaveDevice.h"

class LWaveInQueue;
class LSoundInBackend;

// A wave-in device: empty buffers are queued with AddBuffer and filled in
// order with 16-bit PCM while the device is started; a full buffer gets
// dwBytesRecorded and WHDR_DONE, and the event given to Open is set.
// Audio that arrives while no buffer is queued is lost. Open leaves the
// device stopped; Reset stops it and returns every queued buffer done (the
// partly filled one with its bytes, the others with 0).
//
// Device numbers as for LWaveOut, over the input devices: 0 the default
// input, then the others, then "null" last, which delivers the WAV file
// named by ORVENNA_NULL_DEVICE_INPUT (then silence), or silence, paced in
// real time. WAVE_MAPPER (-1) is the default device.
//
// One owner thread at a time (the recorder's thread).
class LWaveIn : public LWaveDevice<LWaveInQueue, LSoundInBackend, true> {
public:
    // Queues an empty buffer (dwBytesRecorded = 0, WHDR_DONE cleared).
    uint32_t AddBuffer(WAVEHDR* pHdr);

    uint32_t Start();
    // Stops capturing; a partly filled buffer is returned done with the bytes
    // it holds, empty buffers stay queued.
    uint32_t Stop();
    // How often captured frames were lost since Open (no buffer queued in
    // time, an overrun or a failed read of the device).
    uint32_t GetDropouts(uint32_t* pCount);
};
