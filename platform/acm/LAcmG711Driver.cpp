#include "platform/acm/LAcmDriver.h"
#include "platform/acm/LAcmSampleLayout.h"
#include "platform/acm/LAcmSampleStream.h"
#include "platform/acm/LG711.h"

namespace {

const uint32_t kRates[] = { 8000, 11025, 22050, 44100 };

// One G.711 law: its tag, names and the sample functions (internal units,
// which are exact multiples of 16 for every code).
struct LG711Law {
    uint16_t wTag;
    const char* szDriver;
    const char* szTag;
    int32_t (*pfnExpand)(uint8_t);
    uint8_t (*pfnCompress)(int32_t);
};

// One byte per sample by the law's tables.
struct LG711Codec {
    const LG711Law* pLaw;
    int16_t Decode(const uint8_t* p) const { return int16_t(pLaw->pfnExpand(p[0]) >> 4); }
    void Encode(int16_t x, uint8_t* p) const { p[0] = pLaw->pfnCompress(int32_t(x) * 16); }
};

class LAcmG711Driver : public LAcmDriver {
public:
    explicit LAcmG711Driver(const LG711Law& lawIn)
        : law(lawIn)
    {
    }
    uint16_t FormatTag() const override { return law.wTag; }
    const char* DriverName() const override { return law.szDriver; }
    const char* FormatTagName() const override { return law.szTag; }

    bool GetFormat(uint32_t i, LWaveFormat& wf) const override
    {
        if (i >= 2 * sizeof kRates / sizeof kRates[0])
            return false;
        wf = LWaveFormat::Pcm(uint16_t(i % 2 + 1), kRates[i / 2], 8);
        wf.wfx.wFormatTag = law.wTag;
        return true;
    }

    MMRESULT Query(const LWaveFormat& src, const LWaveFormat& dst) const override
    {
        return IsPair(dst, src) || IsPair(src, dst) ? MMSYSERR_NOERROR : ACMERR_NOTPOSSIBLE;
    }

    std::unique_ptr<LAcmStreamInstance> Open(
        const LWaveFormat& src, const LWaveFormat& dst) const override
    {
        if (IsPair(dst, src))
            return std::make_unique<LAcmSampleStream<LG711Codec>>(LG711Codec{&law}, src.wfx.nChannels, 1, true);
        if (IsPair(src, dst))
            return std::make_unique<LAcmSampleStream<LG711Codec>>(LG711Codec{&law}, src.wfx.nChannels, 1, false);
        return nullptr;
    }

private:
    const LG711Law& law;

    bool IsLaw(const LWaveFormat& wf) const
    {
        const WAVEFORMATEX& w = wf.wfx;
        return w.wFormatTag == law.wTag && w.nChannels > 0 && w.nSamplesPerSec > 0
            && w.nBlockAlign == w.nChannels && (w.wBitsPerSample == 8 || w.wBitsPerSample == 0);
    }
    bool IsPair(const LWaveFormat& pcm, const LWaveFormat& coded) const
    {
        return IsLaw(coded) && LAcmSampleLayout::IsPcm16Of(pcm, coded);
    }
};

int32_t ExpandAlaw(uint8_t b) { return LG711::AlawToInternal(b); }
uint8_t CompressAlaw(int32_t x) { return LG711::InternalToAlaw(x); }
int32_t ExpandUlaw(uint8_t b) { return LG711::UlawToInternal(b); }
uint8_t CompressUlaw(int32_t x) { return LG711::InternalToUlaw(x); }

const LG711Law kAlaw = { WAVE_FORMAT_ALAW, "CCITT G.711 A-Law Codec", "CCITT A-Law", ExpandAlaw,
    CompressAlaw };
const LG711Law kUlaw = { WAVE_FORMAT_MULAW, "CCITT G.711 u-Law Codec", "CCITT u-Law", ExpandUlaw,
    CompressUlaw };

} // namespace

LAcmDriver* CreateAlawDriver()
{
    return new LAcmG711Driver(kAlaw);
}

LAcmDriver* CreateMulawDriver()
{
    return new LAcmG711Driver(kUlaw);
}
