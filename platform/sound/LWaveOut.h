#pragma once

#include "platform/sound/LWaveDevice.h"

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
// BreakLoop ends it at the end of its current pass, Reset at once (the
// pause is lifted too). The buffers of a loop are marked done together when
// the loop ends.
//
// The calls come from one owner thread at a time (the player's thread and
// its user-interface thread take turns under the player's lock).
class LWaveOut : public LWaveDevice<LWaveOutQueue, LSoundOutBackend, false> {
public:
    // Queues a prepared header: clears WHDR_DONE, sets WHDR_INQUEUE.
    // WAVERR_UNPREPARED without WHDR_PREPARED, WAVERR_STILLPLAYING when it is
    // queued already. dwBufferLength must be a whole number of frames.
    uint32_t Write(WAVEHDR* pHdr);

    // Pause holds playback where it is; Restart goes on from there.
    uint32_t Pause();
    uint32_t Restart();
    // The running loop ends when its current pass is finished.
    uint32_t BreakLoop();
};
