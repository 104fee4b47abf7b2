#pragma once

#include <cstdint>
#include <portaudio.h>
#include <string>
#include <vector>

// The process's PortAudio library: initialised on first use, with the ALSA
// library's error printing routed to the trace. Devices are named by their
// PortAudio names; streams are blocking 16-bit streams. All calls are
// serialised, since PortAudio's own set-up calls are not thread-safe.
class LPortAudio {
public:
    // Names of the output (or input) devices, the default one first; empty
    // when PortAudio finds none. bRescan reads the devices anew, which takes
    // effect only while no stream is open.
    static std::vector<std::string> ListDevices(bool bInput, bool bRescan);
    // Opens and starts a stream on the named device; null on failure.
    static PaStream* OpenStream(
        const std::string& strName, bool bInput, uint32_t uRate, uint16_t nChannels);
    // Stops (an output plays what it holds first) and closes.
    static void CloseStream(PaStream* pStream);
};
