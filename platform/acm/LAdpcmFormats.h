#pragma once

#include "platform/acm/LWaveFormat.h"

#include <algorithm>
#include <cstdint>

// The formats both ADPCM codecs offer: 4 bits per sample at 8000, 11025,
// 22050 and 44100 Hz, mono and stereo, in blocks of 256 bytes per channel
// for every 11025 Hz of rate.
namespace LAdpcmFormats {

inline constexpr uint32_t kRates[] = { 8000, 11025, 22050, 44100 };

// Format i (rate i / 2, i % 2 + 1 channels) of the codec wTag whose samples
// per block follow pfnSamplesPerBlock(block align, channels); the extra
// bytes are the codec's to add. False past the last one.
inline bool Get(uint32_t i, uint16_t wTag, uint32_t (*pfnSamplesPerBlock)(uint32_t, uint32_t),
    LWaveFormat& wf, uint32_t& nSamplesPerBlock)
{
    if (i >= 2 * std::size(kRates))
        return false;
    const uint16_t nCh = uint16_t(i % 2 + 1);
    const uint32_t uRate = kRates[i / 2];
    wf = LWaveFormat();
    wf.wfx.wFormatTag = wTag;
    wf.wfx.nChannels = nCh;
    wf.wfx.nSamplesPerSec = uRate;
    wf.wfx.nBlockAlign = uint16_t(256 * nCh * std::max<uint32_t>(1, uRate / 11025));
    wf.wfx.wBitsPerSample = 4;
    nSamplesPerBlock = pfnSamplesPerBlock(wf.wfx.nBlockAlign, nCh);
    wf.wfx.nAvgBytesPerSec = uRate * wf.wfx.nBlockAlign / nSamplesPerBlock;
    return true;
}

} // namespace LAdpcmFormats
