#include "platform/acm/LAcmDriver.h"
#include "platform/acm/LAcmSampleLayout.h"
#include "platform/acm/LAcmSampleStream.h"

#include <cmath>
#include <cstring>

namespace {

const uint32_t kRates[] = { 8000, 11025, 22050, 44100, 48000 };

// Full scale 1.0 = 32768, rounded to nearest (ties to even), clipped; NaN is 0.
int16_t FloatToPcm16(double x)
{
    double v = std::nearbyint(x * 32768.0);
    if (!(v > -32768.0))
        return v == v ? int16_t(-32768) : int16_t(0);
    if (v > 32767.0)
        return 32767;
    return int16_t(v);
}

// 32- or 64-bit IEEE float samples.
struct LFloatCodec {
    int iBytes;
    int16_t Decode(const uint8_t* p) const
    {
        if (iBytes == 4) {
            float f;
            std::memcpy(&f, p, 4);
            return FloatToPcm16(f);
        }
        double d;
        std::memcpy(&d, p, 8);
        return FloatToPcm16(d);
    }
    void Encode(int16_t x, uint8_t* p) const
    {
        const double v = double(x) / 32768.0;
        if (iBytes == 4) {
            const float f = float(v);
            std::memcpy(p, &f, 4);
        } else {
            std::memcpy(p, &v, 8);
        }
    }
};

class LAcmFloatDriver : public LAcmDriver {
public:
    uint16_t FormatTag() const override { return WAVE_FORMAT_IEEE_FLOAT; }
    const char* DriverName() const override { return "IEEE Float Converter"; }
    const char* FormatTagName() const override { return "IEEE Float"; }
    uint32_t Support() const override { return ACMDRIVERDETAILS_SUPPORTF_CONVERTER; }

    bool GetFormat(uint32_t i, LWaveFormat& wf) const override
    {
        constexpr uint32_t nRates = sizeof kRates / sizeof kRates[0];
        if (i >= nRates * 2)
            return false;
        wf = LWaveFormat::Pcm(uint16_t(i % 2 + 1), kRates[i / 2], 32);
        wf.wfx.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
        return true;
    }

    MMRESULT Query(const LWaveFormat& src, const LWaveFormat& dst) const override
    {
        return Bytes(src, dst) ? MMSYSERR_NOERROR : ACMERR_NOTPOSSIBLE;
    }

    std::unique_ptr<LAcmStreamInstance> Open(
        const LWaveFormat& src, const LWaveFormat& dst) const override
    {
        int iBytes = Bytes(src, dst);
        if (!iBytes)
            return nullptr;
        return std::make_unique<LAcmSampleStream<LFloatCodec>>(LFloatCodec{iBytes}, src.wfx.nChannels, iBytes,
                                                              LAcmSampleLayout::IsPcm16Of(dst, src));
    }

private:
    static int Width(const LWaveFormat& wf)
    {
        int i = LAcmSampleLayout::ContainerBytes(wf, WAVE_FORMAT_IEEE_FLOAT);
        return i == 4 || i == 8 ? i : 0;
    }
    static int Bytes(const LWaveFormat& src, const LWaveFormat& dst)
    {
        if (LAcmSampleLayout::IsPcm16Of(dst, src))
            return Width(src);
        if (LAcmSampleLayout::IsPcm16Of(src, dst))
            return Width(dst);
        return 0;
    }
};

} // namespace

LAcmDriver* CreateFloatDriver()
{
    return new LAcmFloatDriver();
}
