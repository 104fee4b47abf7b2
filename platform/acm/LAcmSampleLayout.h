#pragma once

#include "platform/acm/LWaveFormat.h"

#include <cstdint>
#include <cstring>

// Sample layout of the uncompressed formats (PCM, IEEE float), plain or in
// the extensible header, whose sub-format GUID begins with the plain tag.
namespace LAcmSampleLayout {

// The extensible sub-format GUID tail shared by every KSDATAFORMAT_SUBTYPE.
inline constexpr uint8_t kGuidTail[14]
    = { 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71 };

// Container bytes per sample when wf is wTag (directly or as the extensible
// sub-format) with a consistent block align and rate; 0 otherwise.
inline int ContainerBytes(const LWaveFormat& wf, uint16_t wTag)
{
    const WAVEFORMATEX& w = wf.wfx;
    if (w.nChannels == 0 || w.nSamplesPerSec == 0 || w.wBitsPerSample == 0
        || w.wBitsPerSample % 8 != 0)
        return 0;
    if (w.wFormatTag == WAVE_FORMAT_EXTENSIBLE) {
        // wValidBitsPerSample, dwChannelMask, then the GUID.
        if (wf.vExtra.size() < 22 || wf.ExtraU16(6) != wTag
            || std::memcmp(wf.vExtra.data() + 8, kGuidTail, sizeof kGuidTail) != 0
            || wf.ExtraU16(0) > w.wBitsPerSample)
            return 0;
    } else if (w.wFormatTag != wTag) {
        return 0;
    }
    int iBytes = w.wBitsPerSample / 8;
    return w.nBlockAlign == uint32_t(iBytes) * w.nChannels ? iBytes : 0;
}

// True when pcm is 16-bit PCM with the channels and rate of other.
inline bool IsPcm16Of(const LWaveFormat& pcm, const LWaveFormat& other)
{
    return pcm.IsPcm16() && pcm.wfx.nChannels == other.wfx.nChannels
        && pcm.wfx.nSamplesPerSec == other.wfx.nSamplesPerSec;
}

} // namespace LAcmSampleLayout
