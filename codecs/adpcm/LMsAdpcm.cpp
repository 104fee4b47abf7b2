#include "codecs/adpcm/LMsAdpcm.h"

#include <algorithm>

namespace {

const int32_t kAdapt[16]
    = { 230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230 };
// Keeps the step's growth inside 32 bits on any input.
constexpr int32_t kMaxDelta = INT32_MAX / 768;

int16_t Get16(const uint8_t* p)
{
    return int16_t(uint16_t(p[0] | (p[1] << 8)));
}
void Put16(uint8_t* p, int32_t x)
{
    p[0] = uint8_t(x);
    p[1] = uint8_t(uint32_t(x) >> 8);
}

// Nibble k (from 0) of the code area: high nibble first.
uint32_t Nibble(const uint8_t* pCodes, size_t k)
{
    return (pCodes[k / 2] >> ((k & 1) ? 0 : 4)) & 15;
}

} // namespace

const int16_t LMsAdpcm::kStdCoef[7][2] = { { 256, 0 }, { 512, -256 }, { 0, 0 }, { 192, 64 },
    { 240, 0 }, { 460, -208 }, { 392, -232 } };

// Applies code n (0..15) and returns the new sample.
int32_t LMsAdpcm::State::Step(uint32_t n)
{
    int32_t iErr = int32_t(n & 15) - ((n & 8) ? 16 : 0);
    int32_t iNew = std::clamp(Predict() + iErr * iDelta, -32768, 32767);
    iSamp2 = iSamp1;
    iSamp1 = iNew;
    iDelta = std::clamp((kAdapt[n & 15] * iDelta) >> 8, 16, kMaxDelta);
    return iNew;
}

uint32_t LMsAdpcm::State::Encode(int32_t x)
{
    int32_t iDiff = x - Predict();
    int32_t iBias = iDiff < 0 ? -(iDelta / 2) : iDelta / 2;
    int32_t iErr = std::clamp((iDiff + iBias) / iDelta, -8, 7);
    uint32_t n = uint32_t(iErr) & 15;
    Step(n);
    return n;
}

uint32_t LMsAdpcm::SamplesPerBlock(uint32_t nBlockAlign, uint32_t nChannels)
{
    return (nBlockAlign - 7 * nChannels) * 2 / nChannels + 2;
}

bool LMsAdpcm::IsLayout(
    uint32_t nChannels, uint32_t nBlockAlign, uint32_t nSamplesPerBlock, size_t nCoefPairs)
{
    if (nChannels == 0 || nChannels > kMaxChannels || nBlockAlign < 7 * nChannels)
        return false;
    return nSamplesPerBlock >= 2 && nSamplesPerBlock <= SamplesPerBlock(nBlockAlign, nChannels)
        && nCoefPairs > 0 && nCoefPairs <= kMaxCoefs;
}

LMsAdpcm::LMsAdpcm(uint32_t nChannelsIn, uint32_t nBlockAlignIn, uint32_t nSamplesPerBlockIn,
    std::vector<int16_t> vCoefIn)
    : nChannels(nChannelsIn)
    , nBlockAlign(nBlockAlignIn)
    , nSamplesPerBlock(nSamplesPerBlockIn)
    , vCoef(std::move(vCoefIn))
    , vSamples(size_t(nSamplesPerBlockIn) * nChannelsIn)
{
    Reset();
}

void LMsAdpcm::Reset()
{
    std::fill(std::begin(aDelta), std::end(aDelta), 16);
}

void LMsAdpcm::SetPredictor(State& s, uint32_t iPred) const
{
    iPred = std::min(iPred, CoefCount() - 1);
    s.iCoef1 = vCoef[2 * iPred];
    s.iCoef2 = vCoef[2 * iPred + 1];
}

void LMsAdpcm::Decode(const uint8_t* p, uint8_t* pOut)
{
    State aState[kMaxChannels];
    uint32_t nCh = nChannels;
    for (uint32_t c = 0; c < nCh; ++c) {
        State& s = aState[c];
        SetPredictor(s, p[c]);
        s.iDelta = Get16(p + nCh + 2 * c);
        s.iSamp1 = Get16(p + 3 * nCh + 2 * c);
        s.iSamp2 = Get16(p + 5 * nCh + 2 * c);
        vSamples[c] = int16_t(s.iSamp2);
        vSamples[nCh + c] = int16_t(s.iSamp1);
    }
    const uint8_t* pCodes = p + 7 * nCh;
    size_t nCodes = size_t(nSamplesPerBlock - 2) * nCh;
    for (size_t k = 0; k < nCodes; ++k)
        vSamples[2 * nCh + k] = int16_t(aState[k % nCh].Step(Nibble(pCodes, k)));
    for (size_t i = 0; i < vSamples.size(); ++i)
        Put16(pOut + 2 * i, vSamples[i]);
}

// Squared error of coding channel c of the block with predictor iPred.
uint64_t LMsAdpcm::TrialError(uint32_t c, uint32_t iPred) const
{
    State s;
    SetPredictor(s, iPred);
    s.iDelta = aDelta[c];
    s.iSamp2 = vSamples[c];
    s.iSamp1 = vSamples[nChannels + c];
    uint64_t uErr = 0;
    for (uint32_t i = 2; i < nSamplesPerBlock; ++i) {
        int32_t x = vSamples[size_t(i) * nChannels + c];
        s.Encode(x);
        int64_t d = int64_t(x) - s.iSamp1;
        uErr += uint64_t(d * d);
    }
    return uErr;
}

void LMsAdpcm::Encode(const uint8_t* pIn, uint8_t* p)
{
    uint32_t nCh = nChannels;
    for (size_t i = 0; i < vSamples.size(); ++i)
        vSamples[i] = Get16(pIn + 2 * i);
    std::fill(p, p + nBlockAlign, uint8_t(0));
    State aState[kMaxChannels];
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
        State& s = aState[c];
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
    size_t nCodes = size_t(nSamplesPerBlock - 2) * nCh;
    for (size_t k = 0; k < nCodes; ++k) {
        uint32_t n = aState[k % nCh].Encode(vSamples[2 * nCh + k]);
        pCodes[k / 2] |= uint8_t(n << ((k & 1) ? 0 : 4));
    }
    // The step goes into the next block's header as a 16-bit field.
    for (uint32_t c = 0; c < nCh; ++c)
        aDelta[c] = std::min(aState[c].iDelta, 32767);
}
