#include "effects/LSRCPeakLimit.h"

#include "audio/LSoundSourceBase.h"
#include "edit/LGainMultiply.h"

#include <algorithm>
#include <cstring>

LSRCPeakLimit::LSRCPeakLimit(SourceHandle hUpstream, int32_t iLim)
    : LSRCFilterBase(std::move(hUpstream))
{
    iLimit = std::min(iLim, kMaxLimit);
    SetPeak(uint32_t(iLimit));
    iBlock = std::clamp(GetSampleRate() / 35, 20, 8192);
    for (auto& b : buffers)
        b.resize(size_t(iBlock) * size_t(GetChannels()));
}

SourceHandle LSRCPeakLimit::OpenSource(SourceHandle hUpstream)
{
    if (hUpstream && hUpstream->GetPeak() <= uint32_t(kInternalFullScale))
        return hUpstream;
    return MakeHandle<LSRCPeakLimit>(std::move(hUpstream), kInternalFullScale);
}

int32_t LSRCPeakLimit::BlockGain(const std::vector<int32_t>& block) const
{
    uint32_t uPeak = 0;
    for (int32_t s : block) {
        uint32_t u = s < 0 ? 0u - uint32_t(s) : uint32_t(s);
        uPeak = std::max(uPeak, u);
    }
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

void LSRCPeakLimit::Start()
{
    for (int i = 0; i < 3; ++i) {
        hSource->Read(buffers[i].data(), iBlock);
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
    hSource->Read(buffers[2].data(), iBlock);
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
            for (int32_t f = 0; f < n; ++f) {
                for (size_t c = 0; c < uCh; ++c)
                    pDst[size_t(f) * uCh + c] = GainMultiply(pSrc[size_t(f) * uCh + c], iG);
                iG += iStep;
            }
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
    return hSource->GetPosition() - (3 * iBlock - iIndex);
}

void LSRCPeakLimit::Seek(int32_t iFrame)
{
    hSource->Seek(iFrame);
    bStarted = false;
}
