#include "platform/acm/LAcmDriver.h"

namespace {

// True when the candidate keeps every field the caller fixed.
bool KeepsFixed(const LWaveFormat& want, const LWaveFormat& cand, uint32_t fdw)
{
    const WAVEFORMATEX& w = want.wfx;
    const WAVEFORMATEX& c = cand.wfx;
    return (!(fdw & ACM_FORMATSUGGESTF_WFORMATTAG) || w.wFormatTag == c.wFormatTag)
        && (!(fdw & ACM_FORMATSUGGESTF_NCHANNELS) || w.nChannels == c.nChannels)
        && (!(fdw & ACM_FORMATSUGGESTF_NSAMPLESPERSEC) || w.nSamplesPerSec == c.nSamplesPerSec)
        && (!(fdw & ACM_FORMATSUGGESTF_WBITSPERSAMPLE) || w.wBitsPerSample == c.wBitsPerSample);
}

} // namespace

MMRESULT LAcmDriver::Suggest(const LWaveFormat& src, LWaveFormat& dst, uint32_t fdwSuggest) const
{
    if (src.wfx.wFormatTag == FormatTag()) {
        LWaveFormat pcm = LWaveFormat::Pcm(src.wfx.nChannels, src.wfx.nSamplesPerSec, 16);
        if (KeepsFixed(dst, pcm, fdwSuggest) && Query(src, pcm) == MMSYSERR_NOERROR) {
            dst = pcm;
            return MMSYSERR_NOERROR;
        }
    }
    if (src.IsPcm16() && (fdwSuggest & ACM_FORMATSUGGESTF_WFORMATTAG)
        && dst.wfx.wFormatTag == FormatTag()) {
        LWaveFormat cand;
        for (uint32_t i = 0; GetFormat(i, cand); ++i) {
            if (cand.wfx.nChannels == src.wfx.nChannels
                && cand.wfx.nSamplesPerSec == src.wfx.nSamplesPerSec
                && KeepsFixed(dst, cand, fdwSuggest) && Query(src, cand) == MMSYSERR_NOERROR) {
                dst = cand;
                return MMSYSERR_NOERROR;
            }
        }
    }
    return ACMERR_NOTPOSSIBLE;
}
