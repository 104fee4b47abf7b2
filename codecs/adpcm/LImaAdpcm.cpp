#include "codecs/adpcm/LImaAdpcm.h"

#include <algorithm>

namespace {

const int16_t kStep[89] = { 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 21, 23, 25, 28, 31, 34, 37, 41,
    45, 50, 55, 60, 66, 73, 80, 88, 97, 107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307,
    337, 371, 408, 449, 494, 544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552, 1707,
    1878, 2066, 2272, 2499, 2749, 3024, 3327, 3660, 4026, 4428, 4871, 5358, 5894, 6484, 7132, 7845,
    8630, 9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794,
    32767 };
const int8_t kIndexStep[16] = { -1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8 };

} // namespace

// The difference of code n, in the additive form every decoder shares.
int32_t LImaAdpcm::State::Step(uint32_t n)
{
    int32_t iStep = kStep[iIndex];
    int32_t iDiff = iStep >> 3;
    if (n & 4)
        iDiff += iStep;
    if (n & 2)
        iDiff += iStep >> 1;
    if (n & 1)
        iDiff += iStep >> 2;
    iPred = std::clamp(n & 8 ? iPred - iDiff : iPred + iDiff, -32768, 32767);
    iIndex = std::clamp(iIndex + kIndexStep[n & 15], 0, 88);
    return iPred;
}

uint32_t LImaAdpcm::State::Encode(int32_t x)
{
    int32_t iStep = kStep[iIndex];
    int32_t iDelta = x - iPred;
    uint32_t n = 0;
    if (iDelta < 0) {
        n = 8;
        iDelta = -iDelta;
    }
    for (uint32_t uBit = 4; uBit; uBit >>= 1) {
        if (iDelta >= iStep) {
            n |= uBit;
            iDelta -= iStep;
        }
        iStep >>= 1;
    }
    Step(n);
    return n;
}

uint32_t LImaAdpcm::SamplesPerBlock(uint32_t nBlockAlign, uint32_t nChannels)
{
    return (nBlockAlign - 4 * nChannels) * 2 / nChannels + 1;
}

bool LImaAdpcm::IsLayout(uint32_t nChannels, uint32_t nBlockAlign)
{
    return nChannels > 0 && nChannels <= kMaxChannels && nBlockAlign > 4 * nChannels
        && nBlockAlign % (4 * nChannels) == 0;
}

LImaAdpcm::LImaAdpcm(uint32_t nChannelsIn, uint32_t nBlockAlignIn, uint32_t nSamplesPerBlockIn)
    : nChannels(nChannelsIn)
    , nBlockAlign(nBlockAlignIn)
    , nSamplesPerBlock(nSamplesPerBlockIn)
    , vSamples(size_t(SamplesPerBlock(nBlockAlignIn, nChannelsIn)) * nChannelsIn)
{
}

void LImaAdpcm::Reset()
{
    std::fill(std::begin(aState), std::end(aState), State());
}

size_t LImaAdpcm::CodeByte(uint32_t c, uint32_t i) const
{
    return 4 * nChannels + (i / 8) * 4 * nChannels + 4 * c + (i % 8) / 2;
}

void LImaAdpcm::Decode(const uint8_t* p, uint8_t* pOut)
{
    uint32_t nCodes = SamplesPerBlock(nBlockAlign, nChannels) - 1;
    for (uint32_t c = 0; c < nChannels; ++c) {
        State& s = aState[c];
        s.iPred = int16_t(uint16_t(p[4 * c] | (p[4 * c + 1] << 8)));
        s.iIndex = std::min<int32_t>(p[4 * c + 2], 88);
        vSamples[c] = int16_t(s.iPred);
        for (uint32_t i = 0; i < nCodes; ++i) {
            uint32_t n = (p[CodeByte(c, i)] >> ((i & 1) * 4)) & 15;
            vSamples[size_t(i + 1) * nChannels + c] = int16_t(s.Step(n));
        }
    }
    size_t nOut = size_t(nSamplesPerBlock) * nChannels;
    for (size_t i = 0; i < nOut; ++i) {
        pOut[2 * i] = uint8_t(vSamples[i]);
        pOut[2 * i + 1] = uint8_t(uint16_t(vSamples[i]) >> 8);
    }
}

void LImaAdpcm::Encode(const uint8_t* pIn, uint8_t* p)
{
    uint32_t nCodes = SamplesPerBlock(nBlockAlign, nChannels) - 1;
    size_t nIn = size_t(nSamplesPerBlock) * nChannels;
    std::fill(vSamples.begin(), vSamples.end(), int16_t(0));
    for (size_t i = 0; i < nIn; ++i)
        vSamples[i] = int16_t(uint16_t(pIn[2 * i] | (pIn[2 * i + 1] << 8)));
    std::fill(p, p + nBlockAlign, uint8_t(0));
    for (uint32_t c = 0; c < nChannels; ++c) {
        State& s = aState[c];
        s.iPred = vSamples[c];
        p[4 * c] = uint8_t(s.iPred);
        p[4 * c + 1] = uint8_t(uint16_t(s.iPred) >> 8);
        p[4 * c + 2] = uint8_t(s.iIndex);
        for (uint32_t i = 0; i < nCodes; ++i) {
            uint32_t n = s.Encode(vSamples[size_t(i + 1) * nChannels + c]);
            p[CodeByte(c, i)] |= uint8_t(n << ((i & 1) * 4));
        }
    }
}
