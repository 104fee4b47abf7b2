#include "platform/acm/LAcmDriver.h"

#include "platform/acm/LAcmSampleLayout.h"

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

int LAcmCodecDriver::Direction(const LWaveFormat& src, const LWaveFormat& dst) const
{
    if (Accepts(src) && LAcmSampleLayout::IsPcm16Of(dst, src))
        return 1;
    if (Encodes() && Accepts(dst) && LAcmSampleLayout::IsPcm16Of(src, dst))
        return 2;
    return 0;
}

MMRESULT LAcmCodecDriver::Query(const LWaveFormat& src, const LWaveFormat& dst) const
{
    return Direction(src, dst) ? MMSYSERR_NOERROR : ACMERR_NOTPOSSIBLE;
}

std::unique_ptr<LAcmStreamInstance> LAcmCodecDriver::Open(
    const LWaveFormat& src, const LWaveFormat& dst) const
{
    switch (Direction(src, dst)) {
    case 1:
        return OpenCoded(src, true);
    case 2:
        return OpenCoded(dst, false);
    default:
        return nullptr;
    }
}
