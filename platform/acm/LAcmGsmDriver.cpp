#include "codecs/gsm/LGSMWavBlock.h"
#include "platform/acm/LAcmCodecStream.h"
#include "platform/acm/LAcmDriver.h"

#include <cstring>

namespace {

constexpr uint16_t kBlockAlign = LGSMWavBlock::kBlockBytes;
constexpr uint16_t kSamplesPerBlock = LGSMWavBlock::kBlockSamples;
const uint32_t kRates[] = { 8000, 11025, 22050, 44100 };

// The WAV block codec with PCM as bytes (which need not be 2-byte aligned).
struct LGsmBlockCodec {
    LGSMWavBlock codec;
    int16_t aPcm[kSamplesPerBlock];

    uint32_t CodedBytes() const { return kBlockAlign; }
    uint32_t PcmBytes() const { return sizeof aPcm; }
    void Reset() { codec.Reset(); }
    void Decode(const uint8_t* pBlock, uint8_t* pPcm)
    {
        codec.Decode(pBlock, aPcm);
        std::memcpy(pPcm, aPcm, sizeof aPcm);
    }
    void Encode(const uint8_t* pPcm, uint8_t* pBlock)
    {
        std::memcpy(aPcm, pPcm, sizeof aPcm);
        codec.Encode(aPcm, pBlock);
    }
};

class LAcmGsmDriver : public LAcmCodecDriver {
public:
    uint16_t FormatTag() const override { return WAVE_FORMAT_GSM610; }
    const char* DriverName() const override { return "GSM 6.10 Audio Codec"; }
    const char* FormatTagName() const override { return "GSM 6.10"; }

    bool GetFormat(uint32_t iIndex, LWaveFormat& wf) const override
    {
        if (iIndex >= sizeof(kRates) / sizeof(kRates[0]))
            return false;
        wf = LWaveFormat();
        wf.wfx.wFormatTag = WAVE_FORMAT_GSM610;
        wf.wfx.nChannels = 1;
        wf.wfx.nSamplesPerSec = kRates[iIndex];
        // 8000 Hz: 1625 bytes per second.
        wf.wfx.nAvgBytesPerSec = kRates[iIndex] * kBlockAlign / kSamplesPerBlock;
        wf.wfx.nBlockAlign = kBlockAlign;
        wf.wfx.wBitsPerSample = 0;
        wf.SetExtra({ uint8_t(kSamplesPerBlock & 0xFF), uint8_t(kSamplesPerBlock >> 8) });
        return true;
    }

protected:
    // Mono, 65-byte blocks, 320 samples per block (files without the extra
    // field are taken to mean 320).
    bool Accepts(const LWaveFormat& wf) const override
    {
        const WAVEFORMATEX& w = wf.wfx;
        if (w.wFormatTag != WAVE_FORMAT_GSM610 || w.nChannels != 1 || w.nBlockAlign != kBlockAlign
            || w.nSamplesPerSec == 0)
            return false;
        return wf.vExtra.size() < 2 || wf.ExtraU16(0) == kSamplesPerBlock;
    }
    std::unique_ptr<LAcmStreamInstance> OpenCoded(const LWaveFormat&, bool bDecode) const override
    {
        return std::make_unique<LAcmCodecStream<LGsmBlockCodec>>(LGsmBlockCodec(), bDecode);
    }
};

} // namespace

LAcmDriver* CreateGsmDriver()
{
    return new LAcmGsmDriver();
}
