#pragma once

#include "platform/acm/LWaveFormat.h"
#include "platform/sound/LWaveDefs.h"

#include <cstdint>
#include <memory>
#include <string>

class LSignalObject;

// What the wave-in and wave-out devices share: the device list of their
// direction, opening a queue of buffers with a backend over it, the buffer
// headers, Reset and the position. Queue and Backend are the direction's
// classes; the members are built in LWaveIn.cpp and LWaveOut.cpp.
template <class Queue, class Backend, bool bInput> class LWaveDevice {
public:
    LWaveDevice();
    ~LWaveDevice(); // resets and closes when still open
    LWaveDevice(const LWaveDevice&) = delete;
    LWaveDevice& operator=(const LWaveDevice&) = delete;

    // The devices of this direction; the list is read once per process and
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
    uint32_t Open(
        int32_t iDevice, const WAVEFORMATEX& wfx, LSignalObject* pEvent, uint32_t uFlags = 0);
    // WAVERR_STILLPLAYING while buffers are queued (Reset first).
    uint32_t Close();
    bool IsOpen() const { return pBackend != nullptr; }

    uint32_t PrepareHeader(WAVEHDR* pHdr);
    // WAVERR_STILLPLAYING while the header is queued.
    uint32_t UnprepareHeader(WAVEHDR* pHdr);
    // Every queued buffer is returned done, and the position goes back to 0.
    uint32_t Reset();
    // Frames played or captured since Open or the last Reset.
    uint32_t GetPosition(uint32_t* pFrames) const;

protected:
    // The backend for a device: the null device or a sound-system one.
    static std::unique_ptr<Backend> MakeBackend(bool bNull, const std::string& strName);
    // fn(queue) on an open device; MMSYSERR_INVALHANDLE when it is closed.
    template <class Fn> uint32_t OnQueue(Fn fn);
    // The same for a call with a header, MMSYSERR_INVALPARAM without one.
    template <class Fn> uint32_t OnHeader(WAVEHDR* pHdr, Fn fn);

private:
    std::unique_ptr<Queue> pQueue;
    std::unique_ptr<Backend> pBackend;
};
