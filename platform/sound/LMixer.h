#pragma once

#include <cstdint>
#include <string>

// The sound card mixer behind a wave device: playback volume and mute of a
// wave-out device, capture volume, mute and source of a wave-in device.
// Volumes are in dB as the level controls show them, mapped to the mixer's
// range through MapVolume. A device without a mixer (the null device, a
// machine without a sound card) makes every call do nothing; a control that
// is missing or refuses a value leaves the remaining settings undone.
// Quiet: failures are only traced. Any thread, one call at a time.
class LMixer {
public:
    // dB to the 0..65535 control range: (v + 36) * 1424 for v >= -35,
    // at most 65535; 0 below.
    static uint32_t MapVolume(int32_t iVolumeDb);

    // Number of input channels (capture sources) of a wave-in device, at most
    // 127; 0 for a negative device or any failure.
    static int32_t GetInputChannelCount(int32_t iWaveInDevice);
    // Name of an input channel (up to 31 characters); "Windows Record Mixer"
    // for channel -1. False (and "") when there is no such channel.
    static bool GetInputChannelName(int32_t iWaveInDevice, int32_t iChannel, std::string& strName);
    // Records from the channel only, at the volume: capture volume and switch
    // of the device, the channel selected as the capture source, the other
    // sources muted. Negative device or channel: nothing.
    static void SetInputChannel(int32_t iWaveInDevice, int32_t iChannel, int32_t iVolumeDb);
    // The master playback volume to v and unmuted, the wave (PCM) playback
    // volume to v + offset (clamped to -127..127) and unmuted.
    static void SetOutVolume(int32_t iWaveOutDevice, int32_t iVolumeDb, int32_t iOffsetDb);
};
