#include "platform/acm/LAcmDriver.h"
#include "platform/acm/LAcmMp3Stream.h"

namespace {

class LAcmMp3Driver : public LAcmCodecDriver {
public:
    uint16_t FormatTag() const override { return WAVE_FORMAT_MPEGLAYER3; }
    const char* DriverName() const override { return "MPEG Layer-3 Codec"; }
    const char* FormatTagName() const override { return "MPEG Layer-3"; }

    // Nothing to encode to.
    bool GetFormat(uint32_t iIndex, LWaveFormat& wf) const override { return false; }

protected:
    // The extra bytes (wID, fdwFlags, nBlockSize, nFramesPerBlock,
    // nCodecDelay) may be there or not and are not needed: the frames say
    // everything. Block align and byte rate are not used either (writers
    // disagree on them, and a variable rate has none).
    bool Accepts(const LWaveFormat& wf) const override
    {
        const WAVEFORMATEX& w = wf.wfx;
        return w.wFormatTag == WAVE_FORMAT_MPEGLAYER3 && (w.nChannels == 1 || w.nChannels == 2)
            && LAcmMp3Stream::IsLayer3Rate(w.nSamplesPerSec);
    }
    bool Encodes() const override { return false; }
    std::unique_ptr<LAcmStreamInstance> OpenCoded(const LWaveFormat& mp3, bool) const override
    {
        return std::make_unique<LAcmMp3Stream>(mp3.wfx.nSamplesPerSec, mp3.wfx.nChannels);
    }
};

} // namespace

LAcmDriver* CreateMp3Driver()
{
    return new LAcmMp3Driver();
}
