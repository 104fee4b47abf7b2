#include "platform/acm/LAcmDriver.h"
#include "platform/acm/LAcmSampleLayout.h"
#include "platform/acm/LAcmSampleStream.h"

#include <algorithm>

namespace {

const uint32_t kRates[] = { 8000, 11025, 22050, 44100, 48000 };
const uint16_t kBits[] = { 8, 16, 24, 32 };

int32_t Sat16(int64_t x) { return int32_t(std::clamp<int64_t>(x, -32768, 32767)); }

// One sample of iBytes little-endian bytes -> 16 bits, rounded to nearest.
int16_t ToPcm16(const uint8_t* p, int iBytes)
{
    switch (iBytes) {
    case 1:
        return int16_t((int32_t(p[0]) - 128) * 256);
    case 2:
        return int16_t(uint16_t(p[0] | (p[1] << 8)));
    case 3: {
        int32_t v = int32_t((uint32_t(p[0]) << 8) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 24)) >> 8;
        return int16_t(Sat16((int64_t(v) + 0x80) >> 8));
    }
    default: {
        int32_t v = int32_t(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16)
            | (uint32_t(p[3]) << 24));
        return int16_t(Sat16((int64_t(v) + 0x8000) >> 16));
    }
    }
}

void FromPcm16(int16_t x, uint8_t* p, int iBytes)
{
    switch (iBytes) {
    case 1:
        p[0] = uint8_t(std::min((int32_t(x) + 0x80) >> 8, 127) + 128);
        return;
    default: {
        // The 16 bits go to the top of the container.
        uint32_t u = uint32_t(int32_t(x)) << ((iBytes - 2) * 8);
        for (int i = 0; i < iBytes; ++i)
            p[i] = uint8_t(u >> (8 * i));
        return;
    }
    }
}

// Integer PCM of 1 to 4 bytes per sample.
struct LPcmCodec {
    int iBytes;
    int16_t Decode(const uint8_t* p) const { return ToPcm16(p, iBytes); }
    void Encode(int16_t x, uint8_t* p) const { FromPcm16(x, p, iBytes); }
};

class LAcmPcmDriver : public LAcmDriver {
public:
    uint16_t FormatTag() const override { return WAVE_FORMAT_PCM; }
    const char* DriverName() const override { return "PCM Converter"; }
    const char* FormatTagName() const override { return "PCM"; }
    uint32_t Support() const override { return ACMDRIVERDETAILS_SUPPORTF_CONVERTER; }

    bool GetFormat(uint32_t i, LWaveFormat& wf) const override
    {
        constexpr uint32_t nRates = sizeof kRates / sizeof kRates[0];
        constexpr uint32_t nBits = sizeof kBits / sizeof kBits[0];
        if (i >= nRates * nBits * 2)
            return false;
        wf = LWaveFormat::Pcm(uint16_t(i % 2 + 1), kRates[i / (2 * nBits)], kBits[(i / 2) % nBits]);
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
        bool bDecode = LAcmSampleLayout::IsPcm16Of(dst, src);
        return std::make_unique<LAcmSampleStream<LPcmCodec>>(LPcmCodec{iBytes}, src.wfx.nChannels, iBytes, bDecode);
    }

private:
    // Container bytes of the non-16-bit side of a PCM <-> 16-bit PCM pair.
    static int Bytes(const LWaveFormat& src, const LWaveFormat& dst)
    {
        if (LAcmSampleLayout::IsPcm16Of(dst, src))
            return LAcmSampleLayout::ContainerBytes(src, WAVE_FORMAT_PCM) <= 4
                ? LAcmSampleLayout::ContainerBytes(src, WAVE_FORMAT_PCM)
                : 0;
        if (LAcmSampleLayout::IsPcm16Of(src, dst))
            return LAcmSampleLayout::ContainerBytes(dst, WAVE_FORMAT_PCM) <= 4
                ? LAcmSampleLayout::ContainerBytes(dst, WAVE_FORMAT_PCM)
                : 0;
        return 0;
    }
};

} // namespace

LAcmDriver* CreatePcmDriver()
{
    return new LAcmPcmDriver();
}
