#include "edit/LCutListAudio.h"

#include "platform/LTrace.h"

#include <algorithm>

void LCutListAudio::SetFormat(int32_t iRate, int iChannels)
{
    iSampleRate = iRate;
    bChannels = uint8_t(iChannels);
}

void LCutListAudio::SetSingleCut(LAudioCut cut)
{
    cuts.clear();
    cuts.push_back(std::move(cut));
}

int32_t LCutListAudio::GetTotalLength() const
{
    int64_t iTotal = 0;
    for (const LAudioCut& c : cuts)
        iTotal += c.iLength;
    return int32_t(std::min<int64_t>(iTotal, INT32_MAX));
}

void LCutListAudio::EfDelete(int32_t iStart, int32_t iEnd)
{
    if (iStart > iEnd) {
        LTrace("LCutListAudio::EfDelete sStart > sEnd");
        return;
    }
    if (iEnd < 0 || iStart == iEnd)
        return;
    const int64_t start = std::max(iStart, 0), end = iEnd;
    int64_t p = 0;
    size_t i = 0;
    while (i < cuts.size() && p + cuts[i].iLength <= start)
        p += cuts[i++].iLength;
    if (i == cuts.size())
        return;
    LAudioCut& first = cuts[i];
    if (start > p && end < p + first.iLength) {
        // Inside one cut: it becomes two.
        int32_t iCut = int32_t(end - p);
        LAudioCut second(first.wCut, first.iLength - iCut, first.iGain, first.iOffset + iCut);
        first.iLength = int32_t(start - p);
        cuts.insert(cuts.begin() + std::ptrdiff_t(i) + 1, std::move(second));
        return;
    }
    // Keep the head of the first cut, drop every cut wholly inside, keep the
    // tail of the last, with one erase so that long lists stay linear.
    size_t uErase = i;
    if (start > p) {
        const int64_t iHead = start - p;
        p += first.iLength;
        first.iLength = int32_t(iHead);
        uErase = i + 1;
    }
    size_t j = uErase;
    while (j < cuts.size() && p + cuts[j].iLength <= end)
        p += cuts[j++].iLength;
    if (j < cuts.size() && end > p) {
        int32_t iCut = int32_t(end - p);
        cuts[j].iOffset += iCut;
        cuts[j].iLength -= iCut;
    }
    cuts.erase(cuts.begin() + std::ptrdiff_t(uErase), cuts.begin() + std::ptrdiff_t(j));
}

void LCutListAudio::EfCopy(int32_t iStart, int32_t iEnd, LCutListAudio& dest) const
{
    if (iStart > iEnd) {
        LTrace("LCutListAudio::EfCopy sStart > sEnd");
        return;
    }
    if (&dest == this) {
        LCutListAudio temp;
        EfCopy(iStart, iEnd, temp);
        dest = std::move(temp);
        return;
    }
    dest.SetFormat(iSampleRate, bChannels);
    dest.cuts = cuts;
    if (iStart >= 1)
        dest.EfDelete(0, iStart);
    else if (iStart < 0)
        dest.EfInsertSilence(0, -iStart);
    int64_t iWant = int64_t(iEnd) - iStart;
    int64_t iHave = dest.GetTotalLength();
    if (iHave > iWant)
        dest.EfDeleteAfter(int32_t(iWant));
    else if (iHave < iWant)
        dest.cuts.push_back(LAudioCut::Silence(int32_t(iWant - iHave)));
}

void LCutListAudio::EfCut(int32_t iStart, int32_t iEnd, LCutListAudio& dest)
{
    EfCopy(iStart, iEnd, dest);
    EfDelete(iStart, iEnd);
}

size_t LCutListAudio::SplitAt(int32_t iPos)
{
    int64_t p = 0;
    for (size_t i = 0; i < cuts.size(); ++i) {
        LAudioCut& c = cuts[i];
        if (iPos == p)
            return i;
        if (iPos < p + c.iLength) {
            int32_t iSplit = int32_t(iPos - p);
            LAudioCut second(c.wCut, c.iLength - iSplit, c.iGain, c.iOffset + iSplit);
            c.iLength = iSplit;
            cuts.insert(cuts.begin() + std::ptrdiff_t(i) + 1, std::move(second));
            return i + 1;
        }
        p += c.iLength;
    }
    return cuts.size();
}

void LCutListAudio::InsertCuts(int32_t iPos, std::vector<LAudioCut> newCuts)
{
    if (iPos < 0) {
        newCuts.push_back(LAudioCut::Silence(-iPos));
        cuts.insert(cuts.begin(), std::make_move_iterator(newCuts.begin()),
            std::make_move_iterator(newCuts.end()));
        return;
    }
    int32_t iTotal = GetTotalLength();
    if (iPos > iTotal)
        cuts.push_back(LAudioCut::Silence(iPos - iTotal));
    size_t uAt = iPos >= iTotal ? cuts.size() : SplitAt(iPos);
    cuts.insert(cuts.begin() + std::ptrdiff_t(uAt), std::make_move_iterator(newCuts.begin()),
        std::make_move_iterator(newCuts.end()));
}

void LCutListAudio::EfInsert(int32_t iPos, const LCutListAudio& src)
{
    // Copy first: src may be this list.
    InsertCuts(iPos, std::vector<LAudioCut>(src.cuts));
}

void LCutListAudio::EfInsertSilence(int32_t iPos, int32_t iFrames)
{
    if (iPos < 0) {
        if (-int64_t(iPos) > iFrames)
            return;
        iFrames += iPos;
        iPos = 0;
    }
    if (iFrames <= 0)
        return;
    // Past the end the gap up to iPos is silent too: one longer silent cut.
    int32_t iTotal = GetTotalLength();
    if (iPos > iTotal) {
        cuts.push_back(LAudioCut::Silence(
            int32_t(std::min<int64_t>(int64_t(iFrames) + iPos - iTotal, INT32_MAX))));
        return;
    }
    std::vector<LAudioCut> one;
    one.push_back(LAudioCut::Silence(iFrames));
    InsertCuts(iPos, std::move(one));
}

void LCutListAudio::EfReplace(int32_t iStart, int32_t iEnd, const LCutListAudio& src)
{
    std::vector<LAudioCut> copy(src.cuts);
    EfDelete(iStart, iEnd);
    InsertCuts(iStart, std::move(copy));
}

void LCutListAudio::EfSilence(int32_t iStart, int32_t iEnd)
{
    EfDelete(iStart, iEnd);
    EfInsertSilence(iStart, iEnd - iStart);
}

void LCutListAudio::EfTrim(int32_t iStart, int32_t iEnd)
{
    if (iStart >= 1)
        EfDelete(0, iStart);
    else
        iStart = 0;
    EfDeleteAfter(iEnd - iStart);
}

void LCutListAudio::EfDeleteBefore(int32_t iFrame)
{
    if (iFrame > 0)
        EfDelete(0, iFrame);
}

void LCutListAudio::EfDeleteAfter(int32_t iFrame)
{
    EfDelete(iFrame, std::max(iFrame, GetTotalLength()));
}

void LCutListAudio::EfRepeat(int32_t iStart, int32_t iEnd, int iCount)
{
    LCutListAudio temp;
    EfCopy(iStart, iEnd, temp);
    if (iStart < 0) {
        for (int i = 0; i < iCount; ++i)
            EfInsert(iStart, temp);
        return;
    }
    // All copies go in with one insertion: a long repeat stays linear.
    std::vector<LAudioCut> copies;
    copies.reserve(temp.cuts.size() * size_t(std::max(iCount, 0)));
    for (int i = 0; i < iCount; ++i)
        copies.insert(copies.end(), temp.cuts.begin(), temp.cuts.end());
    InsertCuts(iStart, std::move(copies));
}

void LCutListAudio::EfAmplify(int32_t iStart, int32_t iEnd, int iPercent)
{
    if (iStart > iEnd) {
        LTrace("LCutListAudio::EfAmplify sStart > sEnd");
        return;
    }
    if (iPercent == 100)
        return;
    // Only the audio inside the range changes: a range reaching outside the
    // audio must not add silence to the document.
    iStart = std::max(iStart, 0);
    iEnd = std::min(iEnd, GetTotalLength());
    if (iEnd <= iStart)
        return;
    LCutListAudio temp;
    EfCut(iStart, iEnd, temp);
    temp.EfAmplifyAll(iPercent);
    EfInsert(iStart, temp);
}

void LCutListAudio::EfGain(int32_t iStart, int32_t iEnd, int32_t iGain)
{
    iStart = std::max(iStart, 0);
    iEnd = std::min(iEnd, GetTotalLength());
    if (iEnd <= iStart || iGain == LAudioCut::kUnityGain)
        return;
    LCutListAudio temp;
    EfCut(iStart, iEnd, temp);
    for (LAudioCut& c : temp.cuts) {
        int64_t i = int64_t(c.iGain) * iGain / LAudioCut::kUnityGain;
        c.iGain = int32_t(std::clamp<int64_t>(i, -0x7FFFFFFF, 0x7FFFFFFF));
    }
    EfInsert(iStart, temp);
}

void LCutListAudio::EfAmplifyAll(int iPercent)
{
    LTrace("LCutListAudio::EfAmplifyAll GainPercent=%d", iPercent);
    if (iPercent == 100)
        return;
    // Exact in 64 bits and held within the 32-bit gain range, so 50 % of
    // unity is exactly half, a saturated gain can still be lowered or
    // inverted, and nothing wraps into the opposite sign.
    for (LAudioCut& c : cuts) {
        int64_t iGain = int64_t(c.iGain) * iPercent / 100;
        c.iGain = int32_t(std::clamp<int64_t>(iGain, -0x7FFFFFFF, 0x7FFFFFFF));
    }
}
