#include "codecs/g711/LG711.h"
#include "platform/acm/LAcmDriver.h"
#include "platform/acm/LAcmSampleLayout.h"
#include "platform/acm/LAcmSampleStream.h"
#include "platform/acm/LSampleNarrow.h"

#include <algorithm>
#include <cstring>
#include <span>

// The drivers of formats coded sample by sample: integer PCM of 1 to 4
// bytes, IEEE float of 4 or 8 bytes, G.711 A-law and µ-law. One driver class
// over a row per format; the codecs below are inlined into the stream loops.
namespace {

// Integer PCM: one sample of iBytes little-endian bytes <-> 16 bits, rounded
// to nearest; 16 bits go to the top of a wider container.
struct LPcmCodec {
    int iBytes;
    int16_t Decode(const uint8_t* p) const
    {
        switch (iBytes) {
        case 1:
            return int16_t((int32_t(p[0]) - 128) * 256);
        case 2:
            return int16_t(uint16_t(p[0] | (p[1] << 8)));
        case 3: {
            int32_t v
                = int32_t((uint32_t(p[0]) << 8) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 24))
                >> 8;
            return LSampleNarrow::FromPcm24(v);
        }
        default: {
            int32_t v = int32_t(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16)
                | (uint32_t(p[3]) << 24));
            return LSampleNarrow::FromPcm32(v);
        }
        }
    }
    void Encode(int16_t x, uint8_t* p) const
    {
        if (iBytes == 1) {
            p[0] = uint8_t(std::min((int32_t(x) + 0x80) >> 8, 127) + 128);
            return;
        }
        uint32_t u = uint32_t(int32_t(x)) << ((iBytes - 2) * 8);
        for (int i = 0; i < iBytes; ++i)
            p[i] = uint8_t(u >> (8 * i));
    }
};

// 32- or 64-bit IEEE float samples.
struct LFloatCodec {
    int iBytes;
    int16_t Decode(const uint8_t* p) const
    {
        if (iBytes == 4) {
            float f;
            std::memcpy(&f, p, 4);
            return LSampleNarrow::FromFloat(f);
        }
        double d;
        std::memcpy(&d, p, 8);
        return LSampleNarrow::FromFloat(d);
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

// One byte per sample by the law's tables (internal units are exact
// multiples of 16 for every code).
struct LG711Codec {
    bool bAlaw;
    int16_t Decode(const uint8_t* p) const
    {
        return int16_t((bAlaw ? LG711::AlawToInternal(p[0]) : LG711::UlawToInternal(p[0])) >> 4);
    }
    void Encode(int16_t x, uint8_t* p) const
    {
        p[0] = bAlaw ? LG711::InternalToAlaw(int32_t(x) * 16)
                     : LG711::InternalToUlaw(int32_t(x) * 16);
    }
};

// What sets one sample format apart: tag and names, the formats offered
// (every rate x width, mono then stereo), and the coded bytes per sample of
// an acceptable header (0 when not acceptable).
template <class Codec> struct LSampleRow {
    uint16_t wTag;
    const char* szDriver;
    const char* szTagName;
    uint32_t fdwSupport;
    std::span<const uint32_t> rates;
    std::span<const uint16_t> bits;
    int (*pfnBytes)(const LWaveFormat&);
    Codec (*pfnCodec)(int iBytes);
};

template <class Codec> class LAcmSampleDriver : public LAcmCodecDriver {
public:
    explicit LAcmSampleDriver(const LSampleRow<Codec>& rowIn)
        : row(rowIn)
    {
    }
    uint16_t FormatTag() const override { return row.wTag; }
    const char* DriverName() const override { return row.szDriver; }
    const char* FormatTagName() const override { return row.szTagName; }
    uint32_t Support() const override { return row.fdwSupport; }

    bool GetFormat(uint32_t i, LWaveFormat& wf) const override
    {
        const size_t nBits = row.bits.size();
        if (i >= row.rates.size() * nBits * 2)
            return false;
        wf = LWaveFormat::Pcm(
            uint16_t(i % 2 + 1), row.rates[i / (2 * nBits)], row.bits[(i / 2) % nBits]);
        wf.wfx.wFormatTag = row.wTag;
        return true;
    }

protected:
    bool Accepts(const LWaveFormat& wf) const override { return row.pfnBytes(wf) != 0; }
    std::unique_ptr<LAcmStreamInstance> OpenCoded(
        const LWaveFormat& coded, bool bDecode) const override
    {
        const int iBytes = row.pfnBytes(coded);
        return std::make_unique<LAcmSampleStream<Codec>>(
            row.pfnCodec(iBytes), coded.wfx.nChannels, iBytes, bDecode);
    }

private:
    const LSampleRow<Codec>& row;
};

const uint32_t kPcmRates[] = { 8000, 11025, 22050, 44100, 48000 };
const uint16_t kPcmBits[] = { 8, 16, 24, 32 };
const uint16_t kFloatBits[] = { 32 };
const uint32_t kG711Rates[] = { 8000, 11025, 22050, 44100 };
const uint16_t kG711Bits[] = { 8 };

int PcmBytes(const LWaveFormat& wf)
{
    int i = LAcmSampleLayout::ContainerBytes(wf, WAVE_FORMAT_PCM);
    return i <= 4 ? i : 0;
}
int FloatBytes(const LWaveFormat& wf)
{
    int i = LAcmSampleLayout::ContainerBytes(wf, WAVE_FORMAT_IEEE_FLOAT);
    return i == 4 || i == 8 ? i : 0;
}
// One byte per sample; 8 bits or unstated.
int G711Bytes(const LWaveFormat& wf, uint16_t wTag)
{
    const WAVEFORMATEX& w = wf.wfx;
    return w.wFormatTag == wTag && w.nChannels > 0 && w.nSamplesPerSec > 0
            && w.nBlockAlign == w.nChannels && (w.wBitsPerSample == 8 || w.wBitsPerSample == 0)
        ? 1
        : 0;
}

const LSampleRow<LPcmCodec> kPcm
    = { WAVE_FORMAT_PCM, "PCM Converter", "PCM", ACMDRIVERDETAILS_SUPPORTF_CONVERTER, kPcmRates,
          kPcmBits, PcmBytes, [](int iBytes) { return LPcmCodec { iBytes }; } };
const LSampleRow<LFloatCodec> kFloat = { WAVE_FORMAT_IEEE_FLOAT, "IEEE Float Converter",
    "IEEE Float", ACMDRIVERDETAILS_SUPPORTF_CONVERTER, kPcmRates, kFloatBits, FloatBytes,
    [](int iBytes) { return LFloatCodec { iBytes }; } };
const LSampleRow<LG711Codec> kAlaw = { WAVE_FORMAT_ALAW, "CCITT G.711 A-Law Codec", "CCITT A-Law",
    ACMDRIVERDETAILS_SUPPORTF_CODEC, kG711Rates, kG711Bits,
    [](const LWaveFormat& wf) { return G711Bytes(wf, WAVE_FORMAT_ALAW); },
    [](int) { return LG711Codec { true }; } };
const LSampleRow<LG711Codec> kUlaw = { WAVE_FORMAT_MULAW, "CCITT G.711 u-Law Codec", "CCITT u-Law",
    ACMDRIVERDETAILS_SUPPORTF_CODEC, kG711Rates, kG711Bits,
    [](const LWaveFormat& wf) { return G711Bytes(wf, WAVE_FORMAT_MULAW); },
    [](int) { return LG711Codec { false }; } };

} // namespace

LAcmDriver* CreatePcmDriver()
{
    return new LAcmSampleDriver<LPcmCodec>(kPcm);
}

LAcmDriver* CreateFloatDriver()
{
    return new LAcmSampleDriver<LFloatCodec>(kFloat);
}

LAcmDriver* CreateAlawDriver()
{
    return new LAcmSampleDriver<LG711Codec>(kAlaw);
}

LAcmDriver* CreateMulawDriver()
{
    return new LAcmSampleDriver<LG711Codec>(kUlaw);
}
