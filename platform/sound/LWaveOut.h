#pragma once

#include "platform/acm/LWaveFormat.h"
#include "platform/sound/LWaveDefs.h"

#include <cstdint>
#include <memory>
#include <string>

class LSignalObject;
class LWaveOutQueue;
class LSoundOutBackend;

// A wave-out device: buffers of 16-bit PCM are queued with Write and played
// in order on a thread of the device; each one gets WHDR_DONE when it has
// been played, and the event given to Open is set then (and on Reset).
//
// Device numbers: 0 is the system's default output, then the other outputs
// of the sound system, then "null" last (a device paced by a real-time clock
// that plays into nothing, or into the WAV file named by
// ORVENNA_NULL_DEVICE_CAPTURE). Without any sound card the list is just
// "null", at number 0. WAVE_MAPPER (-1) is the default device.
//
// Loops: a buffer with WHDR_BEGINLOOP starts a loop that ends with the
// buffer carrying WHDR_ENDLOOP (the same one or a later one); the stretch
// plays dwLoops times (from the begin buffer), then playback goes on with
// the buffer after it. Buffers written behind a loop wait until it ends;
// BreakLoop ends it at the end of its current pass, Reset at once. The
// buffers of a loop are marked done together when the loop ends.
//
// The calls come from one owner thread at a time (the player's thread and
// its user-interface thread take turns under the player's lock).
class LWaveOut {
public:
    LWaveOut();
    ~LWaveOut(); // resets and closes when still open
    LWaveOut(const LWaveOut&) = delete;
    LWaveOut& operator=(const LWaveOut&) = delete;

    // The output devices (see above); the list is read once per process and
    // again after LSoundDevices::Refresh.
    static int32_t GetDeviceCount();
    // Name of a device number, "" when out of range. -1 names the default.
    static std::string GetDeviceName(int32_t iDevice);
    // Number of the device with that name, -2 when there is none.
    static int32_t FindDevice(const std::string& strName);

    // Opens device iDevice for 16-bit PCM (wFormatTag PCM, wBitsPerSample 16,
    // 1..256 channels, 1..384000 Hz); WAVERR_BADFORMAT otherwise,
    // MMSYSERR_BADDEVICEID for a number not in the list, MMSYSERR_ERROR when
    // the device does not open. pEvent (may be null) is set whenever a buffer
    // is done; it must outlive the open device. uFlags: WAVE_MAPPED or 0.
    uint32_t Open(int32_t iDevice, const WAVEFORMATEX& wfx, LSignalObject* pEvent,
                  uint32_t uFlags = 0);
    // WAVERR_STILLPLAYING while buffers are queued (Reset first).
    uint32_t Close();
    bool IsOpen() const;

    uint32_t PrepareHeader(WAVEHDR* pHdr);
    // WAVERR_STILLPLAYING while the header is queued.
    uint32_t UnprepareHeader(WAVEHDR* pHdr);
    // Queues a prepared header: clears WHDR_DONE, sets WHDR_INQUEUE.
    // WAVERR_UNPREPARED without WHDR_PREPARED, WAVERR_STILLPLAYING when it is
    // queued already. dwBufferLength must be a whole number of frames.
    uint32_t Write(WAVEHDR* pHdr);

    // Pause holds playback where it is; Restart goes on from there.
    uint32_t Pause();
    uint32_t Restart();
    // Stops at once: every queued buffer is marked done, a running loop ends,
    // the pause is lifted and the position goes back to 0.
    uint32_t Reset();
    // The running loop ends when its current pass is finished.
    uint32_t BreakLoop();
    // Frames played since Open or the last Reset.
    uint32_t GetPosition(uint32_t* pFrames) const;

private:
    std::unique_ptr<LWaveOutQueue> pQueue;
    std::unique_ptr<LSoundOutBackend> pBackend;
};
