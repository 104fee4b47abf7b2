#include "effects/LSRCPeakLimit.h"

#include "audio/LSoundSourceBase.h"
#include "edit/LGainMultiply.h"
#include "platform/LVectorClones.h"

#include <algorithm>
#include <cstring>

namespace {
ORV_VECTOR_CLONES uint32_t MagnitudePeak(const int32_t* p, size_t n)
{
    uint32_t uPeak = 0;
    for (size_t i = 0; i < n; ++i)
        uPeak = std::max(uPeak, p[i] < 0 ? 0u - uint32_t(p[i]) : uint32_t(p[i]));
    return uPeak;
}

template <size_t kCh>
void ApplyRampOf(int32_t* __restrict pDst, const int32_t* __restrict pSrc, size_t uCh, int32_t n,
    int32_t iG, int32_t iStep)
{
    const size_t uStride = kCh ? kCh : uCh;
    for (int32_t f = 0; f < n; ++f) {
        const int32_t g = int32_t(uint32_t(iG) + uint32_t(f) * uint32_t(iStep));
        for (size_t c = 0; c < uStride; ++c)
            pDst[size_t(f) * uStride + c] = GainMultiply(pSrc[size_t(f) * uStride + c], g);
    }
}

// Frame f of n gets the gain iG + f x iStep. Mono and stereo get loops of a
// fixed width, which vectorize.
ORV_VECTOR_CLONES void ApplyRamp(int32_t* __restrict pDst, const int32_t* __restrict pSrc,
    size_t uCh, int32_t n, int32_t iG, int32_t iStep)
{
    if (uCh == 1)
        return ApplyRampOf<1>(pDst, pSrc, uCh, n, iG, iStep);
    if (uCh == 2)
        return ApplyRampOf<2>(pDst, pSrc, uCh, n, iG, iStep);
    ApplyRampOf<0>(pDst, pSrc, uCh, n, iG, iStep);
}
} // namespace

LSRCPeakLimit::LSRCPeakLimit(SourceHandle hUpstream, int32_t iLim)
    : LSRCFilterBase(std::move(hUpstream))
{
    iLimit = std::min(iLim, kMaxLimit);
    SetPeak(uint32_t(iLimit));
    iBlock = std::clamp(GetSampleRate() / 35, 20, 8192);
    for (auto& b : buffers)
        b.resize(size_t(iBlock) * size_t(GetChannels()));
    iStaged = std::max(1, 8192 / iBlock);
    staged.resize(size_t(iStaged) * buffers[0].size());
}

SourceHandle LSRCPeakLimit::OpenSource(SourceHandle hUpstream)
{
    if (hUpstream && hUpstream->GetPeak() <= uint32_t(kInternalFullScale))
        return hUpstream;
    return MakeHandle<LSRCPeakLimit>(std::move(hUpstream), kInternalFullScale);
}

int32_t LSRCPeakLimit::BlockGain(const std::vector<int32_t>& block) const
{
    const uint32_t uPeak = MagnitudePeak(block.data(), block.size());
    if (uPeak <= uint32_t(iLimit))
        return 0x1000000;
    uint32_t uDiv = uint32_t((uint64_t(uPeak) + 64) >> 6);
    return int32_t((uint32_t(iLimit) * 512u / uDiv) * 512u);
}

void LSRCPeakLimit::SetRamp()
{
    int64_t iMean = (int64_t(aGain[0]) + aGain[1] + aGain[2] + aGain[3]) / 4;
    int32_t iTarget = int32_t(std::min<int64_t>(std::min(aGain[1], aGain[2]), iMean));
    int32_t iDiff = iTarget - iG;
    iStep = iDiff / iBlock;
    iG += iDiff % iBlock;
}

void LSRCPeakLimit::ReadBlock(std::vector<int32_t>& block)
{
    if (iStagedLeft == 0) {
        hSource->Read(staged.data(), iStaged * iBlock);
        iStagedLeft = iStaged;
    }
    const size_t uAt = size_t(iStaged - iStagedLeft) * block.size();
    std::memcpy(block.data(), staged.data() + uAt, block.size() * sizeof(int32_t));
    --iStagedLeft;
}

void LSRCPeakLimit::Start()
{
    iStagedLeft = 0;
    for (int i = 0; i < 3; ++i) {
        ReadBlock(buffers[i]);
        aGain[i + 1] = BlockGain(buffers[i]);
    }
    aGain[0] = aGain[1];
    iG = aGain[1];
    SetRamp();
    iIndex = 0;
    bStarted = true;
}

void LSRCPeakLimit::NextBlock()
{
    std::swap(buffers[0], buffers[1]);
    std::swap(buffers[1], buffers[2]);
    ReadBlock(buffers[2]);
    aGain[0] = aGain[1];
    aGain[1] = aGain[2];
    aGain[2] = aGain[3];
    aGain[3] = BlockGain(buffers[2]);
    SetRamp();
    iIndex = 0;
}

int32_t LSRCPeakLimit::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    if (!bStarted)
        Start();
    const size_t uCh = size_t(GetChannels());
    int32_t iDone = 0;
    while (iDone < iFrames) {
        if (iIndex == iBlock)
            NextBlock();
        int32_t n = std::min(iBlock - iIndex, iFrames - iDone);
        const int32_t* pSrc = buffers[0].data() + size_t(iIndex) * uCh;
        int32_t* pDst = pBuffer + size_t(iDone) * uCh;
        if (iG >= 0x1000000 && iStep == 0) {
            std::memcpy(pDst, pSrc, size_t(n) * uCh * 4);
        } else {
            ApplyRamp(pDst, pSrc, uCh, n, iG, iStep);
            iG = int32_t(uint32_t(iG) + uint32_t(n) * uint32_t(iStep));
        }
        iIndex += n;
        iDone += n;
    }
    return iFrames;
}

int32_t LSRCPeakLimit::GetPosition()
{
    if (!bStarted)
        return hSource->GetPosition();
    return hSource->GetPosition() - (iStagedLeft + 3) * iBlock + iIndex;
}

void LSRCPeakLimit::Seek(int32_t iFrame)
{
    hSource->Seek(iFrame);
    bStarted = false;
}
