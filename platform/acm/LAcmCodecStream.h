#pragma once

#include "platform/acm/LAcmDriver.h"

#include <cstddef>
#include <cstdint>
#include <utility>

// A stream over one of the block codecs of codecs/: Codec gives
// uint32_t CodedBytes() and PcmBytes() (one block on each side), void
// Decode(const uint8_t* coded, uint8_t* pcm), void Encode(const uint8_t* pcm,
// uint8_t* coded) with 16-bit little-endian PCM bytes, and Reset(). An
// encoder completes a short final block with silence.
template <class Codec> class LAcmCodecStream : public LAcmBlockStream {
public:
    LAcmCodecStream(Codec codecIn, bool bDecodeIn)
        : LAcmBlockStream(bDecodeIn ? codecIn.CodedBytes() : codecIn.PcmBytes(),
            bDecodeIn ? codecIn.PcmBytes() : codecIn.CodedBytes())
        , codec(std::move(codecIn))
        , bDecode(bDecodeIn)
    {
        SetPadTail(!bDecode);
    }
    void Reset() override { codec.Reset(); }

protected:
    void ConvertBlocks(const uint8_t* pSrc, uint8_t* pDst, uint32_t nBlocks) override
    {
        const size_t cbSrc = SrcBlockBytes(), cbDst = DstBlockBytes();
        for (uint32_t b = 0; b < nBlocks; ++b) {
            if (bDecode)
                codec.Decode(pSrc + b * cbSrc, pDst + b * cbDst);
            else
                codec.Encode(pSrc + b * cbSrc, pDst + b * cbDst);
        }
    }

private:
    Codec codec;
    bool bDecode;
};
