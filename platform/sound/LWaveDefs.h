#pragma once

#include "platform/LMMResult.h"

#include <atomic>
#include <cstdint>

// The record and constants shared by the wave-out and wave-in devices
// (LWaveOut, LWaveIn), in the shape the player and the recorder use.

// Results of the device calls.
constexpr uint32_t WAVERR_BADFORMAT = 32;
constexpr uint32_t WAVERR_STILLPLAYING = 33; // the header is queued, or buffers remain on close
constexpr uint32_t WAVERR_UNPREPARED = 34;

// Device number -1: the mapper, which is the system default device.
constexpr int32_t WAVE_MAPPER = -1;
// Open flag: the format may be converted on the way (accepted and ignored:
// every device here takes 16-bit PCM at any rate and channel count).
constexpr uint32_t WAVE_MAPPED = 0x0004;

// Header flags.
constexpr uint32_t WHDR_DONE = 0x01; // set by the device when the buffer is finished
constexpr uint32_t WHDR_PREPARED = 0x02;
constexpr uint32_t WHDR_BEGINLOOP = 0x04; // first buffer of a loop; dwLoops counts its passes
constexpr uint32_t WHDR_ENDLOOP = 0x08; // last buffer of a loop (may be the same buffer)
constexpr uint32_t WHDR_INQUEUE = 0x10; // owned by the device until WHDR_DONE

// One buffer handed to a device. The caller owns the record and the data;
// between Write/AddBuffer and WHDR_DONE the device reads (or fills) the data
// from its own thread, so the caller must leave both alone meanwhile.
struct WAVEHDR {
    char* lpData = nullptr;
    uint32_t dwBufferLength = 0; // bytes
    uint32_t dwBytesRecorded = 0; // wave-in: bytes filled when done
    uintptr_t dwUser = 0; // the caller's value, never touched
    uint32_t dwFlags = 0;
    uint32_t dwLoops = 0; // passes of a loop (on the WHDR_BEGINLOOP buffer); 0 counts as 1
    WAVEHDR* lpNext = nullptr; // reserved
    uintptr_t reserved = 0;
};

// The device thread changes dwFlags while the caller polls it; read and
// change the flags of a queued header through these.
inline uint32_t WaveHeaderFlags(const WAVEHDR& hdr)
{
    return std::atomic_ref<uint32_t>(const_cast<uint32_t&>(hdr.dwFlags))
        .load(std::memory_order_acquire);
}
inline bool WaveHeaderDone(const WAVEHDR& hdr)
{
    return (WaveHeaderFlags(hdr) & WHDR_DONE) != 0;
}
// Sets and clears flags in one store (only the device thread changes them
// while the header is queued).
inline void SetWaveHeaderFlags(WAVEHDR& hdr, uint32_t uSet, uint32_t uClear)
{
    std::atomic_ref<uint32_t> flags(hdr.dwFlags);
    const uint32_t u = flags.load(std::memory_order_relaxed);
    flags.store((u & ~uClear) | uSet, std::memory_order_release);
}
