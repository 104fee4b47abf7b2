#include "platform/acm/mp3/LAcmMp3Driver.h"

#include "platform/acm/mp3/LAcmMp3Stream.h"

namespace {

// A Layer III header we can decode. The extra bytes (wID, fdwFlags,
// nBlockSize, nFramesPerBlock, nCodecDelay) may be there or not and are not
// needed: the frames say everything. Block align and byte rate are not
// used either (writers disagree on them, and a variable rate has none).
bool IsMp3(const LWaveFormat& wf)
{
    const WAVEFORMATEX& w = wf.wfx;
    return w.wFormatTag == WAVE_FORMAT_MPEGLAYER3 && (w.nChannels == 1 || w.nChannels == 2)
        && LAcmMp3Stream::IsLayer3Rate(w.nSamplesPerSec);
}

bool IsDecodePair(const LWaveFormat& mp3, const LWaveFormat& pcm)
{
    return IsMp3(mp3) && pcm.IsPcm16() && pcm.wfx.nChannels == mp3.wfx.nChannels
        && pcm.wfx.nSamplesPerSec == mp3.wfx.nSamplesPerSec;
}

class LAcmMp3Driver : public LAcmDriver {
public:
    uint16_t FormatTag() const override { return WAVE_FORMAT_MPEGLAYER3; }
    const char* DriverName() const override { return "MPEG Layer-3 Codec"; }
    const char* FormatTagName() const override { return "MPEG Layer-3"; }

    // Nothing to encode to.
    bool GetFormat(uint32_t iIndex, LWaveFormat& wf) const override { return false; }

    MMRESULT Query(const LWaveFormat& src, const LWaveFormat& dst) const override
    {
        return IsDecodePair(src, dst) ? MMSYSERR_NOERROR : ACMERR_NOTPOSSIBLE;
    }

    std::unique_ptr<LAcmStreamInstance> Open(
        const LWaveFormat& src, const LWaveFormat& dst) const override
    {
        if (!IsDecodePair(src, dst))
            return nullptr;
        return std::make_unique<LAcmMp3Stream>(src.wfx.nSamplesPerSec, src.wfx.nChannels);
    }
};

} // namespace

LAcmDriver* CreateMp3Driver()
{
    return new LAcmMp3Driver();
}
