#include "features/LEditMap.h"

#include "audio/LSoundTime.h"

#include <algorithm>
#include <cstdlib>

namespace {
std::vector<int64_t> Starts(const LCutListAudio& list)
{
    std::vector<int64_t> v;
    int64_t i = 0;
    for (const LAudioCut& c : list.GetCuts()) {
        v.push_back(i);
        i += c.iLength;
    }
    return v;
}

bool Same(const LAudioCut& a, int32_t ia, const LAudioCut& b, int32_t ib)
{
    if (a.IsSilent() || b.IsSilent())
        return false;
    return a.wCut == b.wCut && a.iOffset + ia == b.iOffset + ib;
}
} // namespace

LEditMap::LEditMap(const LCutListAudio& before, const LCutListAudio& after)
    : before(before)
    , after(after)
{
    std::vector<int64_t> s = Starts(before);
    for (size_t i = 0; i < s.size(); ++i)
        oldPieces.push_back({ s[i], &before.GetCuts()[i] });
    s = Starts(after);
    for (size_t i = 0; i < s.size(); ++i)
        newPieces.push_back({ s[i], &after.GetCuts()[i] });
    iOldLength = before.GetTotalLength();
    iNewLength = after.GetTotalLength();
    // The common start, frame for frame through the cuts.
    size_t a = 0, b = 0;
    int32_t ia = 0, ib = 0;
    while (a < oldPieces.size() && b < newPieces.size()) {
        const LAudioCut &ca = *oldPieces[a].pCut, &cb = *newPieces[b].pCut;
        if (ia >= ca.iLength) {
            ++a, ia = 0;
            continue;
        }
        if (ib >= cb.iLength) {
            ++b, ib = 0;
            continue;
        }
        if (!Same(ca, ia, cb, ib))
            break;
        int32_t iStep = std::min(ca.iLength - ia, cb.iLength - ib);
        ia += iStep, ib += iStep, iPrefix += iStep;
    }
}

int64_t LEditMap::Shifted(int64_t iFrame) const
{
    if (iFrame < iPrefix)
        return iFrame;
    return std::clamp<int64_t>(iFrame + (iNewLength - iOldLength), iPrefix, iNewLength);
}

int64_t LEditMap::Find(uint16_t wCut, int32_t iFileFrame, int64_t iNear) const
{
    int64_t iBest = -1;
    for (const Piece& p : newPieces) {
        const LAudioCut& c = *p.pCut;
        if (c.IsSilent() || c.wCut != wCut || iFileFrame < c.iOffset
            || iFileFrame >= c.iOffset + c.iLength)
            continue;
        int64_t iAt = p.iStart + (iFileFrame - c.iOffset);
        if (iBest < 0 || std::llabs(iAt - iNear) < std::llabs(iBest - iNear))
            iBest = iAt;
    }
    return iBest;
}

bool LEditMap::Survivor(int64_t iFrame, bool bForward, int64_t& iOld, int64_t& iNew) const
{
    const int iCount = int(oldPieces.size());
    // The old cut holding iFrame (or the last one before the end).
    int i = 0;
    while (i + 1 < iCount && oldPieces[size_t(i) + 1].iStart <= iFrame)
        ++i;
    for (; i >= 0 && i < iCount; i += bForward ? 1 : -1) {
        const Piece& o = oldPieces[size_t(i)];
        const LAudioCut& c = *o.pCut;
        if (c.IsSilent())
            continue;
        // The file frames of this cut on the searched side of iFrame.
        int64_t iLo = c.iOffset, iHi = int64_t(c.iOffset) + c.iLength;
        const int64_t iAtFile = c.iOffset + (iFrame - o.iStart);
        if (bForward)
            iLo = std::max(iLo, iAtFile);
        else
            iHi = std::min(iHi, iAtFile);
        bool bFound = false;
        for (const Piece& n : newPieces) {
            const LAudioCut& d = *n.pCut;
            const int64_t lo = std::max<int64_t>(iLo, d.iOffset),
                          hi = std::min<int64_t>(iHi, int64_t(d.iOffset) + d.iLength);
            if (d.IsSilent() || d.wCut != c.wCut || lo >= hi)
                continue;
            const int64_t iFile = bForward ? lo : hi - 1;
            const int64_t iOldAt = o.iStart + (iFile - c.iOffset);
            if (!bFound || (bForward ? iOldAt < iOld : iOldAt > iOld)) {
                iOld = iOldAt;
                iNew = n.iStart + (iFile - d.iOffset);
                bFound = true;
            }
        }
        if (bFound)
            return true;
    }
    return false;
}

int64_t LEditMap::MapFrame(int64_t iFrame) const
{
    if (iFrame < iPrefix)
        return iFrame;
    const int64_t iShifted = Shifted(iFrame);
    if (iFrame >= iOldLength)
        return iShifted;
    for (const Piece& o : oldPieces)
        if (iFrame >= o.iStart && iFrame < o.iStart + o.pCut->iLength && !o.pCut->IsSilent()) {
            int64_t iAt
                = Find(o.pCut->wCut, int32_t(o.pCut->iOffset + (iFrame - o.iStart)), iShifted);
            if (iAt >= 0)
                return iAt;
        }
    // Its audio is gone: between the neighbours that survived, keeping its
    // offset into whatever now lies between them.
    int64_t iOldBefore = 0, iNewBefore = 0, iOldAfter = 0, iNewAfter = 0;
    const bool bBefore = Survivor(iFrame, false, iOldBefore, iNewBefore);
    if (!Survivor(iFrame, true, iOldAfter, iNewAfter))
        iNewAfter = iNewLength;
    const int64_t iFrom = bBefore ? iNewBefore + 1 : 0;
    const int64_t iInto = iFrame - (bBefore ? iOldBefore + 1 : 0);
    return iFrom + std::clamp<int64_t>(iInto, 0, std::max<int64_t>(0, iNewAfter - iFrom));
}

int32_t LEditMap::MapMs(int32_t iMs) const
{
    const int32_t iRate = after.GetSampleRate();
    const int32_t iLengthMs = LSoundTime::FramesToMs(after.GetTotalLength(), iRate);
    if (before.GetSampleRate() != iRate || iRate <= 0)
        return std::clamp(iMs, 0, iLengthMs);
    // Frames compared as exact times: a time between two frames stays where
    // it was unless its frame moved.
    const int64_t iFrame = int64_t(iMs) * iRate / 1000;
    const int64_t iMoved = MapFrame(iFrame);
    if (iMoved == iFrame)
        return iMs;
    const int64_t iShiftMs
        = ((iMoved - iFrame) * 1000 + (iMoved > iFrame ? iRate / 2 : -iRate / 2)) / iRate;
    return int32_t(std::clamp<int64_t>(iMs + iShiftMs, 0, iLengthMs));
}
