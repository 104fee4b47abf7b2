#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// IMA ADPCM blocks as WAV files hold them (tag 0x11): one 4-byte header per
// channel (first sample, step index, reserved), then 4-bit codes in groups
// of 4 bytes (8 samples) per channel, low nibble first. Converts whole
// blocks to and from interleaved 16-bit little-endian PCM bytes. The encoder
// carries its step index from block to block. One thread at a time.
class LImaAdpcm {
public:
    static constexpr uint32_t kMaxChannels = 8;

    // Samples per channel that a block of nBlockAlign bytes holds.
    static uint32_t SamplesPerBlock(uint32_t nBlockAlign, uint32_t nChannels);
    // True when blocks of this size can be coded: 1 to kMaxChannels
    // channels, a whole number of 4-byte groups per channel after the
    // headers.
    static bool IsLayout(uint32_t nChannels, uint32_t nBlockAlign);

    // A layout IsLayout accepted; nSamplesPerBlock at most what the block
    // holds (files may declare fewer).
    LImaAdpcm(uint32_t nChannels, uint32_t nBlockAlign, uint32_t nSamplesPerBlock);

    uint32_t CodedBytes() const { return nBlockAlign; }
    uint32_t PcmBytes() const { return nSamplesPerBlock * nChannels * 2; }
    void Reset();
    void Decode(const uint8_t* pBlock, uint8_t* pPcm);
    void Encode(const uint8_t* pPcm, uint8_t* pBlock);

private:
    struct State {
        int32_t iPred = 0;
        int32_t iIndex = 0;
        int32_t Step(uint32_t n);
        uint32_t Encode(int32_t x);
    };

    // Code i (from 0) of channel c within the block's code area.
    size_t CodeByte(uint32_t c, uint32_t i) const;

    uint32_t nChannels;
    uint32_t nBlockAlign;
    uint32_t nSamplesPerBlock;
    State aState[kMaxChannels];
    std::vector<int16_t> vSamples; // one whole block, interleaved, sized once
};
