#include "effects/LSRCWaveScan.h"

#include "audio/LSoundTime.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {
constexpr int32_t kOne = 0x1000000;

int32_t SegmentSamples(int32_t iRate, int iChannels)
{
    return std::clamp(iRate / 90, 20, 2730) * iChannels;
}

int32_t HopOf(int32_t iSeg, double dFactor)
{
    return int32_t(std::clamp(double(iSeg) * dFactor, -1e9, 1e9));
}

int32_t ClampFrame(int64_t i)
{
    return int32_t(std::clamp<int64_t>(i, INT32_MIN, INT32_MAX));
}
} // namespace

LSRCWaveScan::LSRCWaveScan(SourceHandle hUpstream, double dFactor)
    : LSRCWaveScan(std::move(hUpstream), dFactor, dFactor, 0)
{
}

LSRCWaveScan::LSRCWaveScan(
    SourceHandle hUpstream, double dStartFactor, double dEndFactor, int32_t iRampMs)
    : LSRCFilterBase(std::move(hUpstream))
{
    const int iCh = GetChannels();
    iSeg = SegmentSamples(GetSampleRate(), iCh);
    iHop = HopOf(iSeg, dStartFactor);
    iTargetHop = HopOf(iSeg, dEndFactor);
    iRampLeft = int64_t(LSoundTime::MsToFrames(std::max(iRampMs, 0), GetSampleRate())) * iCh;

    // Full weight on the old grain for the first half, then a raised cosine
    // down towards 0 over the second half.
    curve.assign(size_t(iSeg), kOne);
    const int32_t iHalf = iSeg / 2, iFall = iSeg - iHalf;
    for (int32_t j = 0; j < iFall; ++j) {
        double v = 0.5 + 0.5 * std::cos(std::numbers::pi * j / iFall);
        curve[size_t(iHalf + j)] = int32_t(v * kOne + 0.5);
    }
    window.resize(size_t(iSeg) * 8);
    tail.resize(size_t(iSeg));
    segment.resize(size_t(iSeg));
    Start(hSource->GetPosition(), false);
}

void LSRCWaveScan::Start(int64_t iFrame, bool bSeek)
{
    const int iCh = GetChannels();
    int64_t iStart = iFrame * iCh;
    if (iHop < 0) {
        // Grains start 2S before the window's end; the window reaches S
        // past the starting frame.
        iStart -= 7 * int64_t(iSeg);
        iGrain = iStart + 6 * int64_t(iSeg);
        bSeek = true;
    } else {
        iGrain = iStart;
    }
    if (bSeek) {
        Reposition(iStart);
    } else {
        iWinStart = iStart;
        iWinFill = 0;
        FillFrom(0);
    }
    // Both pointers at the same place: the first segment is the input itself.
    std::memcpy(tail.data(), window.data() + (iGrain - iWinStart), size_t(iSeg) * 4);
    MakeSegment();
    iSegPos = 0;
}

void LSRCWaveScan::Reposition(int64_t iStart)
{
    hSource->Seek(ClampFrame(std::max<int64_t>(iStart, 0) / GetChannels()));
    iWinStart = iStart;
    iWinFill = 0;
    FillFrom(0);
}

void LSRCWaveScan::FillFrom(int32_t iFrom)
{
    const int iCh = GetChannels();
    const int32_t iSize = int32_t(window.size());
    int32_t i = iFrom;
    if (iWinStart + i < 0) {
        int32_t n = int32_t(std::min<int64_t>(iSize - i, -(iWinStart + i)));
        std::memset(window.data() + i, 0, size_t(n) * 4);
        i += n;
    }
    while (i < iSize) {
        int32_t iFrames = std::min((iSize - i) / iCh, kBlockFrames);
        hSource->Read(window.data() + i, iFrames);
        i += iFrames * iCh;
    }
    iWinFill = iSize;
}

void LSRCWaveScan::Ensure()
{
    const int64_t iNeed = 2 * int64_t(iSeg);
    const int64_t iEnd = iWinStart + iWinFill;
    if (iGrain >= iWinStart && iGrain + iNeed <= iEnd)
        return;
    if (iGrain >= iWinStart && iGrain <= iEnd) {
        // Forward within reach: keep what is buffered from the grain on and
        // read on sequentially.
        int32_t iKeep = int32_t(iEnd - iGrain);
        std::memmove(window.data(), window.data() + (iGrain - iWinStart), size_t(iKeep) * 4);
        iWinStart = iGrain;
        iWinFill = iKeep;
        FillFrom(iKeep);
    } else if (iGrain < iWinStart) {
        // Stepping back: the grain goes near the end, leaving room for
        // further steps back.
        Reposition(iGrain + iNeed - int64_t(window.size()));
    } else {
        Reposition(iGrain);
    }
}

void LSRCWaveScan::MakeSegment()
{
    Ensure();
    const int32_t* pNew = window.data() + (iGrain - iWinStart);
    const int32_t* pOld = tail.data();
    const int32_t* c = curve.data();
    int32_t* pOut = segment.data();
    const size_t uHalf = size_t(iSeg / 2), uSeg = size_t(iSeg);
    // The first half carries the old grain alone (weight 1.0 exactly).
    std::memcpy(pOut, pOld, uHalf * 4);
    // 64-bit products, rounded: equal grains come out unchanged.
    for (size_t i = uHalf; i < uSeg; ++i)
        pOut[i] = int32_t(
            (int64_t(pOld[i]) * c[i] + int64_t(pNew[i]) * (kOne - c[i]) + kOne / 2) >> 24);
    std::memcpy(tail.data(), pNew + uSeg, uSeg * 4);
}

void LSRCWaveScan::NextSegment()
{
    iGrain += int64_t(GetHopFrames()) * GetChannels();
    if (iRampLeft > 0) {
        if (iRampLeft <= iSeg) {
            iHop = iTargetHop;
            iRampLeft = 0;
        } else {
            iHop += int32_t(int64_t(iTargetHop - iHop) * iSeg / iRampLeft);
            iRampLeft -= iSeg;
        }
    }
    MakeSegment();
    iSegPos = 0;
}

int32_t LSRCWaveScan::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    int64_t iLeft = int64_t(iFrames) * GetChannels();
    while (iLeft > 0) {
        if (iSegPos == iSeg)
            NextSegment();
        int32_t n = int32_t(std::min<int64_t>(iSeg - iSegPos, iLeft));
        std::memcpy(pBuffer, segment.data() + iSegPos, size_t(n) * 4);
        pBuffer += n;
        iSegPos += n;
        iLeft -= n;
    }
    return iFrames;
}

int32_t LSRCWaveScan::GetPosition()
{
    // The upstream stands at the window's end; the read pointer lies the
    // samples buffered ahead of it before that.
    return ClampFrame((iGrain + iSegPos) / GetChannels());
}

int32_t LSRCWaveScan::GetLength()
{
    if (iHop < 0)
        return ClampFrame(2 * int64_t(GetPosition()));
    return hSource->GetLength();
}

void LSRCWaveScan::Seek(int32_t iFrame)
{
    Start(iFrame, true);
}
