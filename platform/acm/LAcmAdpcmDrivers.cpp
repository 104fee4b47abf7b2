#include "codecs/adpcm/LImaAdpcm.h"
#include "codecs/adpcm/LMsAdpcm.h"
#include "platform/acm/LAcmCodecStream.h"
#include "platform/acm/LAcmDriver.h"
#include "platform/acm/LAdpcmFormats.h"

#include <optional>

// The IMA and Microsoft ADPCM drivers: the header checks that make a codec
// of codecs/adpcm, and the standard formats offered.
namespace {

// The IMA codec of a usable header, or false.
bool MakeIma(const LWaveFormat& wf, std::optional<LImaAdpcm>* pOut)
{
    const WAVEFORMATEX& w = wf.wfx;
    if (w.wFormatTag != WAVE_FORMAT_IMA_ADPCM || w.wBitsPerSample != 4 || w.nSamplesPerSec == 0
        || !LImaAdpcm::IsLayout(w.nChannels, w.nBlockAlign))
        return false;
    uint32_t nSpb = LImaAdpcm::SamplesPerBlock(w.nBlockAlign, w.nChannels);
    // Files may declare fewer samples than the block holds; never more.
    uint32_t nDeclared = wf.ExtraU16(0);
    if (wf.vExtra.size() >= 2 && (nDeclared == 0 || nDeclared > nSpb))
        return false;
    if (nDeclared)
        nSpb = nDeclared;
    if (pOut)
        pOut->emplace(w.nChannels, w.nBlockAlign, nSpb);
    return true;
}

// The Microsoft ADPCM codec of a usable header (samples per block and the
// coefficient pairs in the extra bytes), or false.
bool MakeMs(const LWaveFormat& wf, std::optional<LMsAdpcm>* pOut)
{
    const WAVEFORMATEX& w = wf.wfx;
    if (w.wFormatTag != WAVE_FORMAT_ADPCM || w.wBitsPerSample != 4 || w.nSamplesPerSec == 0
        || wf.vExtra.size() < 4)
        return false;
    uint32_t nSpb = wf.ExtraU16(0);
    uint32_t nCoef = wf.ExtraU16(2);
    if (!LMsAdpcm::IsLayout(w.nChannels, w.nBlockAlign, nSpb, nCoef)
        || wf.vExtra.size() < 4 + 4 * size_t(nCoef))
        return false;
    if (pOut) {
        std::vector<int16_t> vCoef(2 * nCoef);
        for (uint32_t i = 0; i < 2 * nCoef; ++i)
            vCoef[i] = int16_t(wf.ExtraU16(4 + 2 * i));
        pOut->emplace(w.nChannels, w.nBlockAlign, nSpb, std::move(vCoef));
    }
    return true;
}

std::vector<uint8_t> ImaExtra(uint32_t nSpb)
{
    return { uint8_t(nSpb), uint8_t(nSpb >> 8) };
}

std::vector<uint8_t> MsExtra(uint32_t nSpb)
{
    std::vector<uint8_t> v = { uint8_t(nSpb), uint8_t(nSpb >> 8), 7, 0 };
    for (const auto& pair : LMsAdpcm::kStdCoef)
        for (int16_t x : pair) {
            v.push_back(uint8_t(x));
            v.push_back(uint8_t(uint16_t(x) >> 8));
        }
    return v;
}

// The row that tells the two codecs apart.
template <class Codec> struct LAdpcmRow {
    uint16_t wTag;
    const char* szDriver;
    const char* szTagName;
    bool (*pfnMake)(const LWaveFormat&, std::optional<Codec>*);
    std::vector<uint8_t> (*pfnExtra)(uint32_t nSamplesPerBlock);
};

template <class Codec> class LAcmAdpcmDriver : public LAcmCodecDriver {
public:
    explicit LAcmAdpcmDriver(const LAdpcmRow<Codec>& rowIn)
        : row(rowIn)
    {
    }
    uint16_t FormatTag() const override { return row.wTag; }
    const char* DriverName() const override { return row.szDriver; }
    const char* FormatTagName() const override { return row.szTagName; }

    bool GetFormat(uint32_t i, LWaveFormat& wf) const override
    {
        uint32_t nSpb = 0;
        if (!LAdpcmFormats::Get(i, row.wTag, Codec::SamplesPerBlock, wf, nSpb))
            return false;
        wf.SetExtra(row.pfnExtra(nSpb));
        return true;
    }

protected:
    bool Accepts(const LWaveFormat& wf) const override { return row.pfnMake(wf, nullptr); }
    std::unique_ptr<LAcmStreamInstance> OpenCoded(
        const LWaveFormat& coded, bool bDecode) const override
    {
        std::optional<Codec> codec;
        if (!row.pfnMake(coded, &codec))
            return nullptr;
        return std::make_unique<LAcmCodecStream<Codec>>(std::move(*codec), bDecode);
    }

private:
    const LAdpcmRow<Codec>& row;
};

const LAdpcmRow<LImaAdpcm> kIma
    = { WAVE_FORMAT_IMA_ADPCM, "IMA ADPCM Codec", "IMA ADPCM", MakeIma, ImaExtra };
const LAdpcmRow<LMsAdpcm> kMs
    = { WAVE_FORMAT_ADPCM, "Microsoft ADPCM Codec", "Microsoft ADPCM", MakeMs, MsExtra };

} // namespace

LAcmDriver* CreateImaAdpcmDriver()
{
    return new LAcmAdpcmDriver<LImaAdpcm>(kIma);
}

LAcmDriver* CreateMsAdpcmDriver()
{
    return new LAcmAdpcmDriver<LMsAdpcm>(kMs);
}
