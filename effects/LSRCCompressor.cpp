#include "effects/LSRCCompressor.h"

#include "audio/LSoundTime.h"
#include "edit/LGainMultiply.h"
#include "effects/LMeanSquareLevel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

const LCompressorRatios& CompressorRatioList()
{
    // 10^(-(1 - 1/ratio) / 20), as scripts and settings made elsewhere have
    // them to the last digit ("Limit" is a ratio of about 10^9).
    static const LCompressorRatios list = { { { "1:1", 1.0 }, { "3:2", 0.9623506263981255 },
        { "2:1", 0.9440608762859234 }, { "3:1", 0.9261187281287935 }, { "4:1", 0.9172759353897796 },
        { "5:1", 0.9120108393559098 }, { "Limit", 0.8912509382363546 } } };
    return list;
}

LGainCurve CompressorCurve(int iThreshold, double dRatio, int iLimit)
{
    // Each gain is 2^24 R^a 0.8913^b with the whole powers counted rather
    // than multiplied up step by step, so the curve is exactly unity where
    // a and b are 0 (0 dB for a threshold below 0).
    int iRatioPowers = std::min(iThreshold, 0);
    int iLimitPowers = 0;
    LGainCurve curve {};
    for (int d = -128; d < 128; ++d) {
        const double g
            = 16777216.0 * std::pow(dRatio, iRatioPowers) * std::pow(0.8913, iLimitPowers);
        curve[size_t(d + 128)] = g >= 2147483647.0 ? 0x7FFFFFFF : int32_t(g);
        if (d >= iThreshold && d < iLimit)
            ++iRatioPowers;
        else if (d >= iThreshold)
            ++iLimitPowers;
    }
    return curve;
}

LSRCCompressor::LSRCCompressor(
    SourceHandle hUpstream, int iThreshold, double dRatio, int32_t iWindowMs, int iLimit)
    : LSRCFilterBase(std::move(hUpstream))
    , curve(CompressorCurve(std::clamp(iThreshold, -127, 127), dRatio, iLimit))
    , iWindow(
          std::clamp(LSoundTime::MsToFrames(std::max(iWindowMs, 0), GetSampleRate()), 128, 8192))
{
    SetPeak(0x3FFFFF);
    current.resize(size_t(iWindow) * size_t(GetChannels()));
    next.resize(current.size());
}

int32_t LSRCCompressor::ReadNext()
{
    // The silence after the end of the audio is no quieter passage to make
    // up for: past the end the gain holds.
    const bool bPastEnd = hSource->GetPosition() >= hSource->GetLength();
    hSource->Read(next.data(), iWindow);
    return bPastEnd ? iPrevious : curve[size_t(MeanSquareLevelDb(next.data(), next.size()) + 128)];
}

void LSRCCompressor::SetStep()
{
    // 64 bits: two targets near the largest gain overflow 32 bits when summed.
    const int64_t iG = iGain, iT = iTarget, iW = iWindow;
    if (iT < iG)
        iStep = int32_t((iT - iG) / (iW + iW / 4));
    else
        iStep = int32_t(((iT + iPrevious) / 2 - iG) / (2 * iW));
}

void LSRCCompressor::Start()
{
    hSource->Read(current.data(), iWindow);
    iGain = iPrevious = curve[size_t(MeanSquareLevelDb(current.data(), current.size()) + 128)];
    iTarget = ReadNext();
    SetStep();
    iIndex = 0;
    bStarted = true;
}

void LSRCCompressor::NextWindow()
{
    std::swap(current, next);
    iPrevious = iTarget;
    iTarget = ReadNext();
    SetStep();
    iIndex = 0;
}

int32_t LSRCCompressor::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    if (!bStarted)
        Start();
    const size_t uCh = size_t(GetChannels());
    for (int32_t iDone = 0; iDone < iFrames;) {
        if (iIndex == iWindow)
            NextWindow();
        const int32_t n = std::min(iWindow - iIndex, iFrames - iDone);
        const int32_t* pSrc = current.data() + size_t(iIndex) * uCh;
        int32_t* pDst = pBuffer + size_t(iDone) * uCh;
        const uint32_t uG = uint32_t(iGain), uS = uint32_t(iStep);
        if (uG == 0x1000000 && uS == 0) {
            std::memcpy(pDst, pSrc, size_t(n) * uCh * sizeof(int32_t));
        } else {
            // The gain of each frame from its index, so frames do not depend
            // on one another.
            for (int32_t f = 0; f < n; ++f) {
                const int32_t g = int32_t(uG + uint32_t(f) * uS);
                for (size_t c = 0; c < uCh; ++c)
                    pDst[size_t(f) * uCh + c] = GainMultiply(pSrc[size_t(f) * uCh + c], g);
            }
        }
        iGain = int32_t(uG + uint32_t(n) * uS);
        iIndex += n;
        iDone += n;
    }
    return iFrames;
}

int32_t LSRCCompressor::GetPosition()
{
    if (!bStarted)
        return hSource->GetPosition();
    return hSource->GetPosition() - (2 * iWindow - iIndex);
}

void LSRCCompressor::Seek(int32_t iFrame)
{
    hSource->Seek(iFrame);
    bStarted = false;
}
