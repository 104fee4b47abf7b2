#include "platform/acm/LAcmDriver.h"
#include "platform/acm/LAdpcmFormats.h"
#include "platform/acm/LAcmSampleLayout.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// Microsoft ADPCM (tag 2): each block begins with, per channel, a predictor
// index byte, then per channel the step (int16), then per channel the second
// and per channel the first sample; 4-bit codes follow, the channels
// interleaved, high nibble first. The extra bytes hold the samples per block
// and the predictor coefficient pairs (8 fraction bits).
namespace {

const int32_t kAdapt[16]
    = { 230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230 };
const int16_t kStdCoef[7][2]
    = { { 256, 0 }, { 512, -256 }, { 0, 0 }, { 192, 64 }, { 240, 0 }, { 460, -208 }, { 392, -232 } };
constexpr uint16_t kMaxChannels = 8;
constexpr uint32_t kMaxCoefs = 256;
// Keeps the step's growth inside 32 bits on any input.
constexpr int32_t kMaxDelta = INT32_MAX / 768;

struct LMsState {
    int32_t iCoef1 = 256;
    int32_t iCoef2 = 0;
    int32_t iDelta = 16;
    int32_t iSamp1 = 0;
    int32_t iSamp2 = 0;

    int32_t Predict() const { return (iSamp1 * iCoef1 + iSamp2 * iCoef2) / 256; }

    // Applies code n (0..15) and returns the new sample.
    int32_t Step(uint32_t n)
    {
        int32_t iErr = int32_t(n & 15) - ((n & 8) ? 16 : 0);
        int32_t iNew = std::clamp(Predict() + iErr * iDelta, -32768, 32767);
        iSamp2 = iSamp1;
        iSamp1 = iNew;
        iDelta = std::clamp((kAdapt[n & 15] * iDelta) >> 8, 16, kMaxDelta);
        return iNew;
    }

    uint32_t Encode(int32_t x)
    {
        int32_t iDiff = x - Predict();
        int32_t iBias = iDiff < 0 ? -(iDelta / 2) : iDelta / 2;
        int32_t iErr = std::clamp((iDiff + iBias) / iDelta, -8, 7);
        uint32_t n = uint32_t(iErr) & 15;
        Step(n);
        return n;
    }
};

uint32_t SamplesPerBlock(uint32_t nBlockAlign, uint32_t nChannels)
{
    return (nBlockAlign - 7 * nChannels) * 2 / nChannels + 2;
}

struct LMsLayout {
    uint32_t nSamplesPerBlock = 0;
    std::vector<int16_t> vCoef; // pairs
};

bool IsMsAdpcm(const LWaveFormat& wf, LMsLayout& lay)
{
    const WAVEFORMATEX& w = wf.wfx;
    if (w.wFormatTag != WAVE_FORMAT_ADPCM || w.wBitsPerSample != 4 || w.nChannels == 0
        || w.nChannels > kMaxChannels || w.nSamplesPerSec == 0 || w.nBlockAlign < 7 * w.nChannels
        || wf.vExtra.size() < 4)
        return false;
    uint32_t nMax = SamplesPerBlock(w.nBlockAlign, w.nChannels);
    uint32_t nSpb = wf.ExtraU16(0);
    uint32_t nCoef = wf.ExtraU16(2);
    if (nSpb < 2 || nSpb > nMax || nCoef == 0 || nCoef > kMaxCoefs
        || wf.vExtra.size() < 4 + 4 * size_t(nCoef))
        return false;
    lay.nSamplesPerBlock = nSpb;
    lay.vCoef.resize(2 * nCoef);
    for (uint32_t i = 0; i < 2 * nCoef; ++i)
        lay.vCoef[i] = int16_t(wf.ExtraU16(4 + 2 * i));
    return true;
}

int16_t Get16(const uint8_t* p) { return int16_t(uint16_t(p[0] | (p[1] << 8))); }
void Put16(uint8_t* p, int32_t x)
{
    p[0] = uint8_t(x);
    p[1] = uint8_t(uint32_t(x) >> 8);
}

class LMsStream : public LAcmBlockStream {
public:
    LMsStream(const WAVEFORMATEX& w, LMsLayout layIn, bool bDecodeIn)
        : LAcmBlockStream(bDecodeIn ? w.nBlockAlign : layIn.nSamplesPerBlock * w.nChannels * 2,
            bDecodeIn ? layIn.nSamplesPerBlock * w.nChannels * 2 : w.nBlockAlign)
        , nChannels(w.nChannels)
        , nBlockAlign(w.nBlockAlign)
        , lay(std::move(layIn))
        , bDecode(bDecodeIn)
        , vSamples(size_t(lay.nSamplesPerBlock) * w.nChannels)
    {
        SetPadTail(!bDecode);
    }
    void Reset() override { std::fill(std::begin(aDelta), std::end(aDelta), 16); }

protected:
    void ConvertBlocks(const uint8_t* pSrc, uint8_t* pDst, uint32_t nBlocks) override
    {
        uint32_t cbPcm = lay.nSamplesPerBlock * nChannels * 2;
        for (uint32_t b = 0; b < nBlocks; ++b) {
            if (bDecode)
                DecodeBlock(pSrc + size_t(b) * nBlockAlign, pDst + size_t(b) * cbPcm);
            else
                EncodeBlock(pSrc + size_t(b) * cbPcm, pDst + size_t(b) * nBlockAlign);
        }
    }

private:
    uint32_t nChannels;
    uint32_t nBlockAlign;
    LMsLayout lay;
    bool bDecode;
    std::vector<int16_t> vSamples; // one block, interleaved, sized once
    int32_t aDelta[kMaxChannels] = { 16, 16, 16, 16, 16, 16, 16, 16 }; // carried by the encoder

    uint32_t CoefCount() const { return uint32_t(lay.vCoef.size() / 2); }
    void SetPredictor(LMsState& s, uint32_t iPred) const
    {
        iPred = std::min(iPred, CoefCount() - 1);
        s.iCoef1 = lay.vCoef[2 * iPred];
        s.iCoef2 = lay.vCoef[2 * iPred + 1];
    }
    // Nibble k (from 0) of the code area: high nibble first.
    static uint32_t Nibble(const uint8_t* pCodes, size_t k)
    {
        return (pCodes[k / 2] >> ((k & 1) ? 0 : 4)) & 15;
    }

    void DecodeBlock(const uint8_t* p, uint8_t* pOut)
    {
        LMsState aState[kMaxChannels];
        uint32_t nCh = nChannels;
        for (uint32_t c = 0; c < nCh; ++c) {
            LMsState& s = aState[c];
            SetPredictor(s, p[c]);
            s.iDelta = Get16(p + nCh + 2 * c);
            s.iSamp1 = Get16(p + 3 * nCh + 2 * c);
            s.iSamp2 = Get16(p + 5 * nCh + 2 * c);
            vSamples[c] = int16_t(s.iSamp2);
            vSamples[nCh + c] = int16_t(s.iSamp1);
        }
        const uint8_t* pCodes = p + 7 * nCh;
        size_t nCodes = size_t(lay.nSamplesPerBlock - 2) * nCh;
        for (size_t k = 0; k < nCodes; ++k)
            vSamples[2 * nCh + k] = int16_t(aState[k % nCh].Step(Nibble(pCodes, k)));
        for (size_t i = 0; i < vSamples.size(); ++i)
            Put16(pOut + 2 * i, vSamples[i]);
    }

    // Squared error of coding channel c of the block with predictor iPred.
    uint64_t TrialError(uint32_t c, uint32_t iPred) const
    {
        LMsState s;
        SetPredictor(s, iPred);
        s.iDelta = aDelta[c];
        s.iSamp2 = vSamples[c];
        s.iSamp1 = vSamples[nChannels + c];
        uint64_t uErr = 0;
        for (uint32_t i = 2; i < lay.nSamplesPerBlock; ++i) {
            int32_t x = vSamples[size_t(i) * nChannels + c];
            s.Encode(x);
            int64_t d = int64_t(x) - s.iSamp1;
            uErr += uint64_t(d * d);
        }
        return uErr;
    }

    void EncodeBlock(const uint8_t* pIn, uint8_t* p)
    {
        uint32_t nCh = nChannels;
        for (size_t i = 0; i < vSamples.size(); ++i)
            vSamples[i] = Get16(pIn + 2 * i);
        std::fill(p, p + nBlockAlign, uint8_t(0));
        LMsState aState[kMaxChannels];
        for (uint32_t c = 0; c < nCh; ++c) {
            uint32_t iBest = 0;
            uint64_t uBest = UINT64_MAX;
            for (uint32_t iPred = 0; iPred < CoefCount(); ++iPred) {
                uint64_t u = TrialError(c, iPred);
                if (u < uBest) {
                    uBest = u;
                    iBest = iPred;
                }
            }
            LMsState& s = aState[c];
            SetPredictor(s, iBest);
            s.iDelta = aDelta[c];
            s.iSamp2 = vSamples[c];
            s.iSamp1 = vSamples[nCh + c];
            p[c] = uint8_t(iBest);
            Put16(p + nCh + 2 * c, s.iDelta);
            Put16(p + 3 * nCh + 2 * c, s.iSamp1);
            Put16(p + 5 * nCh + 2 * c, s.iSamp2);
        }
        uint8_t* pCodes = p + 7 * nCh;
        size_t nCodes = size_t(lay.nSamplesPerBlock - 2) * nCh;
        for (size_t k = 0; k < nCodes; ++k) {
            uint32_t n = aState[k % nCh].Encode(vSamples[2 * nCh + k]);
            pCodes[k / 2] |= uint8_t(n << ((k & 1) ? 0 : 4));
        }
        // The step goes into the next block's header as a 16-bit field.
        for (uint32_t c = 0; c < nCh; ++c)
            aDelta[c] = std::min(aState[c].iDelta, 32767);
    }
};

class LAcmMsAdpcmDriver : public LAcmDriver {
public:
    uint16_t FormatTag() const override { return WAVE_FORMAT_ADPCM; }
    const char* DriverName() const override { return "Microsoft ADPCM Codec"; }
    const char* FormatTagName() const override { return "Microsoft ADPCM"; }

    bool GetFormat(uint32_t i, LWaveFormat& wf) const override
    {
        uint32_t nSpb = 0;
        if (!LAdpcmFormats::Get(i, WAVE_FORMAT_ADPCM, SamplesPerBlock, wf, nSpb))
            return false;
        std::vector<uint8_t> v = { uint8_t(nSpb), uint8_t(nSpb >> 8), 7, 0 };
        for (const auto& pair : kStdCoef)
            for (int16_t x : pair) {
                v.push_back(uint8_t(x));
                v.push_back(uint8_t(uint16_t(x) >> 8));
            }
        wf.SetExtra(std::move(v));
        return true;
    }

    MMRESULT Query(const LWaveFormat& src, const LWaveFormat& dst) const override
    {
        LMsLayout lay;
        return IsPair(dst, src, lay) || IsPair(src, dst, lay) ? MMSYSERR_NOERROR
                                                              : ACMERR_NOTPOSSIBLE;
    }

    std::unique_ptr<LAcmStreamInstance> Open(
        const LWaveFormat& src, const LWaveFormat& dst) const override
    {
        LMsLayout lay;
        if (IsPair(dst, src, lay))
            return std::make_unique<LMsStream>(src.wfx, std::move(lay), true);
        if (IsPair(src, dst, lay))
            return std::make_unique<LMsStream>(dst.wfx, std::move(lay), false);
        return nullptr;
    }

private:
    static bool IsPair(const LWaveFormat& pcm, const LWaveFormat& ms, LMsLayout& lay)
    {
        return IsMsAdpcm(ms, lay) && LAcmSampleLayout::IsPcm16Of(pcm, ms);
    }
};

} // namespace

LAcmDriver* CreateMsAdpcmDriver()
{
    return new LAcmMsAdpcmDriver();
}
