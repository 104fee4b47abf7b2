#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Microsoft ADPCM blocks (tag 2): per channel a predictor index byte, then
// per channel the step (int16), then per channel the second and per channel
// the first sample; 4-bit codes follow, the channels interleaved, high
// nibble first. The predictor coefficient pairs (8 fraction bits) come from
// the format's extra bytes. Converts whole blocks to and from interleaved
// 16-bit little-endian PCM bytes; the encoder picks the predictor with the
// least error per block and channel and carries its step from block to
// block. One thread at a time.
class LMsAdpcm {
public:
    static constexpr uint32_t kMaxChannels = 8;
    static constexpr uint32_t kMaxCoefs = 256;
    // The seven standard coefficient pairs.
    static const int16_t kStdCoef[7][2];

    // Samples per channel that a block of nBlockAlign bytes holds.
    static uint32_t SamplesPerBlock(uint32_t nBlockAlign, uint32_t nChannels);
    // True when blocks of this layout can be coded.
    static bool IsLayout(
        uint32_t nChannels, uint32_t nBlockAlign, uint32_t nSamplesPerBlock, size_t nCoefPairs);

    // A layout IsLayout accepted; vCoef holds the pairs one after the other.
    LMsAdpcm(uint32_t nChannels, uint32_t nBlockAlign, uint32_t nSamplesPerBlock,
        std::vector<int16_t> vCoef);

    uint32_t CodedBytes() const { return nBlockAlign; }
    uint32_t PcmBytes() const { return nSamplesPerBlock * nChannels * 2; }
    void Reset();
    void Decode(const uint8_t* pBlock, uint8_t* pPcm);
    void Encode(const uint8_t* pPcm, uint8_t* pBlock);

private:
    struct State {
        int32_t iCoef1 = 256;
        int32_t iCoef2 = 0;
        int32_t iDelta = 16;
        int32_t iSamp1 = 0;
        int32_t iSamp2 = 0;
        int32_t Predict() const { return (iSamp1 * iCoef1 + iSamp2 * iCoef2) / 256; }
        int32_t Step(uint32_t n);
        uint32_t Encode(int32_t x);
    };

    uint32_t CoefCount() const { return uint32_t(vCoef.size() / 2); }
    void SetPredictor(State& s, uint32_t iPred) const;
    uint64_t TrialError(uint32_t c, uint32_t iPred) const;

    uint32_t nChannels;
    uint32_t nBlockAlign;
    uint32_t nSamplesPerBlock;
    std::vector<int16_t> vCoef;
    std::vector<int16_t> vSamples; // one block, interleaved, sized once
    int32_t aDelta[kMaxChannels]; // carried by the encoder
};
