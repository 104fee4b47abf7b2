#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The numbered lists of output and input devices behind LWaveOut and LWaveIn:
// the sound system's default device, its other devices, then "null". Read
// once per process on first use. Thread-safe.
class LSoundDevices {
public:
    static constexpr const char* kNullName = "null";

    // Reads the sound system's devices anew (a device added since, or another
    // ALSA configuration). Takes effect for the sound system only while none
    // of its devices is open.
    static void Refresh();
    static std::vector<std::string> List(bool bInput);
    // The name behind a device number (-1 = 0) and whether it is the null
    // device (the last one); false when out of range.
    static bool Resolve(bool bInput, int32_t iDevice, std::string& strName, bool& bNull);
    static int32_t Find(bool bInput, const std::string& strName); // -2 when none
};
