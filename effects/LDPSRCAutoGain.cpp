#include "effects/LDPSRCAutoGain.h"

#include "edit/LGainMultiply.h"
#include "effects/LDBTablesClass.h"

#include <algorithm>
#include <cmath>

namespace {
int Clamp127(int i)
{
    return std::clamp(i, -127, 127);
}

size_t Bin(int iLevel)
{
    return size_t(std::clamp(iLevel, -128, 127) + 128);
}
} // namespace

std::array<int8_t, 256> LDPSRCAutoGain::GainCurve(int iThreshold, double dSlope, int iLimit)
{
    std::array<int8_t, 256> curve {};
    double dValue = iThreshold * dSlope;
    for (int d = -128; d < 128; ++d) {
        curve[Bin(d)] = int8_t(std::clamp(std::round(dValue), -127.0, 127.0));
        if (d >= iThreshold && d < iLimit)
            dValue += dSlope;
        else if (d >= iThreshold)
            dValue -= 1.0;
    }
    return curve;
}

LDPSRCAutoGain::LDPSRCAutoGain(int32_t iRate, int iChannels, std::vector<int> refs, int32_t iLen,
    LFile audioFile, LFile levelFile, int32_t iBlk, const LAutoGainSettings& s, bool bFade)
    : LSoundSourceBase(iRate, iChannels, INT32_MAX)
    , references(std::move(refs))
    , iLength(std::max(iLen, 0))
    , audio(std::move(audioFile))
    , levels(std::move(levelFile))
    , iBlock(std::max(iBlk, 1))
    , nBlocks((int64_t(iLength) + iBlock - 1) / iBlock)
    , settings(s)
    , bFadeAtEnd(bFade)
    , curve(GainCurve(s.iThreshold, s.dSlope, s.iLimit))
    , levelBytes(size_t(GetChannels()))
    , block(size_t(iBlock) * size_t(GetChannels()))
    , gains(size_t(GetChannels()))
    , steps(size_t(GetChannels()))
{
    references.resize(size_t(GetChannels()), 0);
    ring.fill(-128);
    counts[Bin(-128)] = kLookAhead;
    for (int64_t i = 0; i < kLookAhead; ++i) {
        if (i < nBlocks)
            Feed(BlockLevel(i));
        else
            Advance();
    }
}

int LDPSRCAutoGain::BlockLevel(int64_t iIndex)
{
    const size_t uCh = levelBytes.size();
    if (levels.ReadAt(levelBytes.data(), int64_t(uCh), iIndex * int64_t(uCh)) != int64_t(uCh))
        bFailed = true;
    int iLoudest = -128;
    for (size_t c = 0; c < uCh; ++c)
        iLoudest = std::max(iLoudest, int(int8_t(levelBytes[c])) - references[c]);
    // Silence inside loud material lies far below the reference.
    return std::clamp(iLoudest, -128, 127);
}

void LDPSRCAutoGain::Advance()
{
    uRing = (uRing + 1) % ring.size();
}

void LDPSRCAutoGain::Feed(int iLevel)
{
    --counts[Bin(ring[uRing])];
    ring[uRing] = iLevel;
    ++counts[Bin(iLevel)];
    Advance();
    // The level that just over a quarter of the window reaches.
    int iQuantile = -128, iAbove = 0;
    for (int d = 127; d >= -128; --d) {
        iAbove += counts[Bin(d)];
        if (iAbove > kLookAhead / 4) {
            iQuantile = d;
            break;
        }
    }
    const double q = iQuantile;
    if (iLevel > dTracked && q > dTracked && dTracked < -settings.iUpBound)
        dTracked += (q - dTracked) / 12.0;
    else if (iLevel < dTracked && q < dTracked && dTracked > -settings.iDownBound)
        dTracked += (q - dTracked) / 50.0;
    iTracked = int(std::round(dTracked));
}

bool LDPSRCAutoGain::StartBlock()
{
    ++iBlockIndex;
    const size_t uCh = gains.size();
    iBlockFrames = int32_t(std::min<int64_t>(iBlock, int64_t(iLength) - iBlockIndex * iBlock));
    const int64_t iBytes = int64_t(iBlockFrames) * int64_t(uCh) * 4;
    if (iBlockFrames <= 0
        || audio.ReadAt(block.data(), iBytes, iBlockIndex * int64_t(iBlock) * int64_t(uCh) * 4)
            != iBytes)
        bFailed = true;
    if (bFailed)
        return false;
    const int iRelative = ring[uRing];
    const int iCurve = curve[Bin(iRelative - iTracked)];
    const bool bFade = bFadeAtEnd && nBlocks - iBlockIndex < 2;
    for (size_t c = 0; c < uCh; ++c) {
        const int iDb = Clamp127(Clamp127(-references[c] - iTracked) + iCurve);
        const int64_t iTarget = bFade ? 0 : LDBTablesClass::Amplitude(iDb);
        if (iBlockIndex == 0)
            gains[c] = int32_t(iTarget);
        const int64_t iDiff = iTarget - gains[c];
        steps[c] = int32_t(bFade ? iDiff / iBlockFrames : iDiff * 2 / (3 * int64_t(iBlock)));
    }
    if (iBlockIndex + kLookAhead < nBlocks)
        Feed(BlockLevel(iBlockIndex + kLookAhead));
    else
        Advance();
    iInBlock = 0;
    return true;
}

int32_t LDPSRCAutoGain::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    const size_t uCh = gains.size();
    int32_t iDone = 0;
    while (iDone < iFrames && GetPosition() + iDone < iLength) {
        if (iInBlock == iBlockFrames && !StartBlock())
            break;
        const int32_t n = std::min(iBlockFrames - iInBlock, iFrames - iDone);
        const int32_t* pSrc = block.data() + size_t(iInBlock) * uCh;
        int32_t* pDst = pBuffer + size_t(iDone) * uCh;
        for (size_t c = 0; c < uCh; ++c) {
            const uint32_t uG = uint32_t(gains[c]), uS = uint32_t(steps[c]);
            for (int32_t f = 0; f < n; ++f)
                pDst[size_t(f) * uCh + c]
                    = GainMultiply(pSrc[size_t(f) * uCh + c], int32_t(uG + uint32_t(f) * uS));
            gains[c] = int32_t(uG + uint32_t(n) * uS);
        }
        iInBlock += n;
        iDone += n;
    }
    return iDone;
}
