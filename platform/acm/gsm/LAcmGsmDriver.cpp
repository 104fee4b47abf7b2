#include "platform/acm/gsm/LAcmGsmDriver.h"

#include "platform/acm/gsm/LGSMWavBlock.h"

#include <cstring>

namespace {

constexpr uint16_t kBlockAlign = LGSMWavBlock::kBlockBytes;
constexpr uint16_t kSamplesPerBlock = LGSMWavBlock::kBlockSamples;
constexpr uint32_t kPcmBlockBytes = kSamplesPerBlock * 2;
const uint32_t kRates[] = { 8000, 11025, 22050, 44100 };

// A GSM 6.10 header we can code: mono, 65-byte blocks, 320 samples per block
// (files without the extra field are taken to mean 320).
bool IsGsm(const LWaveFormat& wf)
{
    const WAVEFORMATEX& w = wf.wfx;
    if (w.wFormatTag != WAVE_FORMAT_GSM610 || w.nChannels != 1 || w.nBlockAlign != kBlockAlign
        || w.nSamplesPerSec == 0)
        return false;
    return wf.vExtra.size() < 2 || wf.ExtraU16(0) == kSamplesPerBlock;
}

bool IsPair(const LWaveFormat& pcm, const LWaveFormat& gsm)
{
    return pcm.IsPcm16() && pcm.wfx.nChannels == 1 && IsGsm(gsm)
        && pcm.wfx.nSamplesPerSec == gsm.wfx.nSamplesPerSec;
}

class LGsmDecodeStream : public LAcmBlockStream {
public:
    LGsmDecodeStream()
        : LAcmBlockStream(kBlockAlign, kPcmBlockBytes)
    {
    }
    void Reset() override { codec.Reset(); }

protected:
    void ConvertBlocks(const uint8_t* pSrc, uint8_t* pDst, uint32_t nBlocks) override
    {
        for (uint32_t b = 0; b < nBlocks; ++b) {
            codec.Decode(pSrc + size_t(b) * kBlockAlign, aPcm);
            std::memcpy(pDst + size_t(b) * kPcmBlockBytes, aPcm, kPcmBlockBytes);
        }
    }

private:
    LGSMWavBlock codec;
    int16_t aPcm[kSamplesPerBlock];
};

class LGsmEncodeStream : public LAcmBlockStream {
public:
    LGsmEncodeStream()
        : LAcmBlockStream(kPcmBlockBytes, kBlockAlign)
    {
        SetPadTail(true);
    }
    void Reset() override { codec.Reset(); }

protected:
    void ConvertBlocks(const uint8_t* pSrc, uint8_t* pDst, uint32_t nBlocks) override
    {
        for (uint32_t b = 0; b < nBlocks; ++b) {
            // The PCM bytes need not be 2-byte aligned.
            std::memcpy(aPcm, pSrc + size_t(b) * kPcmBlockBytes, kPcmBlockBytes);
            codec.Encode(aPcm, pDst + size_t(b) * kBlockAlign);
        }
    }

private:
    LGSMWavBlock codec;
    int16_t aPcm[kSamplesPerBlock];
};

class LAcmGsmDriver : public LAcmDriver {
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

    MMRESULT Query(const LWaveFormat& src, const LWaveFormat& dst) const override
    {
        return IsPair(dst, src) || IsPair(src, dst) ? MMSYSERR_NOERROR : ACMERR_NOTPOSSIBLE;
    }

    std::unique_ptr<LAcmStreamInstance> Open(
        const LWaveFormat& src, const LWaveFormat& dst) const override
    {
        if (IsPair(dst, src))
            return std::make_unique<LGsmDecodeStream>();
        if (IsPair(src, dst))
            return std::make_unique<LGsmEncodeStream>();
        return nullptr;
    }
};

} // namespace

LAcmDriver* CreateGsmDriver()
{
    return new LAcmGsmDriver();
}
