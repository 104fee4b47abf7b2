#pragma once

#include <cstdint>

// One stretch of a cut file: frames iOffset .. iOffset + iLength - 1 of file
// wCut, times iGain (24 fraction bits, 0x1000000 = 1). Every LAudioCut holds
// one reference on its cut number: making or copying one adds it, destroying
// one drops it; moving passes it on.
class LAudioCut {
public:
    static constexpr int32_t kUnityGain = 0x1000000;

    LAudioCut(uint16_t wCut, int32_t iLength, int32_t iGain, int32_t iOffset);
    LAudioCut(const LAudioCut& o);
    LAudioCut(LAudioCut&& o) noexcept;
    LAudioCut& operator=(const LAudioCut& o);
    LAudioCut& operator=(LAudioCut&& o) noexcept;
    ~LAudioCut();

    // length frames of silence.
    static LAudioCut Silence(int32_t iLength);
    bool IsSilent() const;

    uint16_t wCut;
    int32_t iLength;
    int32_t iGain;
    int32_t iOffset;
};
