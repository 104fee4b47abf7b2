#include "platform/acm/LAcmDriver.h"

#include <algorithm>
#include <cstring>

LAcmBlockStream::LAcmBlockStream(uint32_t cbSrcBlockIn, uint32_t cbDstBlockIn)
    : cbSrcBlock(std::max<uint32_t>(cbSrcBlockIn, 1))
    , cbDstBlock(std::max<uint32_t>(cbDstBlockIn, 1))
{
}

MMRESULT LAcmBlockStream::Convert(const uint8_t* pSrc, uint32_t cbSrc, uint32_t& cbSrcUsed,
    uint8_t* pDst, uint32_t cbDst, uint32_t& cbDstUsed, uint32_t fdwConvert)
{
    uint32_t nBlocks = std::min(cbSrc / cbSrcBlock, cbDst / cbDstBlock);
    if (nBlocks)
        ConvertBlocks(pSrc, pDst, nBlocks);
    cbSrcUsed = nBlocks * cbSrcBlock;
    cbDstUsed = nBlocks * cbDstBlock;
    uint32_t cbRest = cbSrc - cbSrcUsed;
    bool bTail
        = (fdwConvert & ACM_STREAMCONVERTF_END) || !(fdwConvert & ACM_STREAMCONVERTF_BLOCKALIGN);
    // A short final block is taken only when it is all that is left and its
    // output fits.
    if (bTail && cbRest > 0 && cbRest < cbSrcBlock && cbDst - cbDstUsed >= cbDstBlock) {
        cbDstUsed += ConvertTail(pSrc + cbSrcUsed, cbRest, pDst + cbDstUsed);
        cbSrcUsed = cbSrc;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT LAcmBlockStream::Size(uint32_t cbInput, uint32_t& cbOutput, uint32_t fdwSize) const
{
    if ((fdwSize & ACM_STREAMSIZEF_QUERYMASK) == ACM_STREAMSIZEF_DESTINATION) {
        cbOutput = cbInput / cbDstBlock * cbSrcBlock;
    } else {
        // Room for a padded or dropped final block too.
        uint64_t nBlocks = (uint64_t(cbInput) + cbSrcBlock - 1) / cbSrcBlock;
        uint64_t cb = nBlocks * cbDstBlock;
        cbOutput = cb > UINT32_MAX ? 0 : uint32_t(cb);
    }
    return cbOutput ? MMSYSERR_NOERROR : ACMERR_NOTPOSSIBLE;
}

uint32_t LAcmBlockStream::ConvertTail(const uint8_t* pSrc, uint32_t cbSrc, uint8_t* pDst)
{
    if (!bPadTail)
        return 0;
    vTail.assign(cbSrcBlock, 0);
    std::memcpy(vTail.data(), pSrc, cbSrc);
    ConvertBlocks(vTail.data(), pDst, 1);
    return cbDstBlock;
}
