#pragma once

#include "platform/acm/LAcmDriver.h"

#include <cstddef>
#include <cstdint>

// A stream of samples coded one by one (PCM of other widths, float, G.711):
// one frame per block, iCodedBytes per coded sample, 16-bit PCM on the other
// side. Codec gives int16_t Decode(const uint8_t*) const and
// void Encode(int16_t, uint8_t*) const; both are inlined into the loops.
template <class Codec> class LAcmSampleStream : public LAcmBlockStream {
public:
    LAcmSampleStream(const Codec& codecIn, int iChannels, int iCodedBytes, bool bDecodeIn)
        : LAcmBlockStream(uint32_t(iChannels) * uint32_t(bDecodeIn ? iCodedBytes : 2),
            uint32_t(iChannels) * uint32_t(bDecodeIn ? 2 : iCodedBytes))
        , codec(codecIn)
        , nCoded(size_t(iCodedBytes))
        , bDecode(bDecodeIn)
        , nSamplesPerFrame(uint32_t(iChannels))
    {
    }

protected:
    void ConvertBlocks(const uint8_t* pSrc, uint8_t* pDst, uint32_t nBlocks) override
    {
        const size_t n = size_t(nBlocks) * nSamplesPerFrame;
        if (bDecode) {
            for (size_t i = 0; i < n; ++i) {
                const int16_t x = codec.Decode(pSrc + i * nCoded);
                pDst[2 * i] = uint8_t(x);
                pDst[2 * i + 1] = uint8_t(uint16_t(x) >> 8);
            }
        } else {
            for (size_t i = 0; i < n; ++i)
                codec.Encode(
                    int16_t(uint16_t(pSrc[2 * i] | (pSrc[2 * i + 1] << 8))), pDst + i * nCoded);
        }
    }

private:
    Codec codec;
    size_t nCoded;
    bool bDecode;
    uint32_t nSamplesPerFrame;
};
