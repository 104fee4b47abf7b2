#include "platform/acm/LAcmDriver.h"
#include "platform/acm/LAcmSampleLayout.h"

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

class LFloatStream : public LAcmBlockStream {
public:
    LFloatStream(int iChannels, int iBytesIn, bool bDecodeIn)
        : LAcmBlockStream(uint32_t(iChannels) * (bDecodeIn ? iBytesIn : 2),
            uint32_t(iChannels) * (bDecodeIn ? 2 : iBytesIn))
        , iBytes(iBytesIn)
        , bDecode(bDecodeIn)
        , nSamplesPerFrame(uint32_t(iChannels))
    {
    }

protected:
    void ConvertBlocks(const uint8_t* pSrc, uint8_t* pDst, uint32_t nBlocks) override
    {
        size_t n = size_t(nBlocks) * nSamplesPerFrame;
        if (bDecode) {
            for (size_t i = 0; i < n; ++i) {
                int16_t x = FloatToPcm16(Load(pSrc + i * size_t(iBytes)));
                pDst[2 * i] = uint8_t(x);
                pDst[2 * i + 1] = uint8_t(uint16_t(x) >> 8);
            }
        } else {
            for (size_t i = 0; i < n; ++i) {
                int16_t x = int16_t(uint16_t(pSrc[2 * i] | (pSrc[2 * i + 1] << 8)));
                Store(double(x) / 32768.0, pDst + i * size_t(iBytes));
            }
        }
    }

private:
    int iBytes;
    bool bDecode;
    uint32_t nSamplesPerFrame;

    double Load(const uint8_t* p) const
    {
        if (iBytes == 4) {
            float f;
            std::memcpy(&f, p, 4);
            return f;
        }
        double d;
        std::memcpy(&d, p, 8);
        return d;
    }
    void Store(double x, uint8_t* p) const
    {
        if (iBytes == 4) {
            float f = float(x);
            std::memcpy(p, &f, 4);
        } else {
            std::memcpy(p, &x, 8);
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
        return std::make_unique<LFloatStream>(
            src.wfx.nChannels, iBytes, LAcmSampleLayout::IsPcm16Of(dst, src));
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
