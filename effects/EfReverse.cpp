#include "effects/EfReverse.h"

#include "edit/LSRCCutListAudio.h"
#include "effects/LEfRenderRange.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
// Frames read per seek: a cut-list reader reopens its file on every seek,
// so the range is read backwards in spans of several blocks.
constexpr int32_t kSpanFrames = 8 * kBlockFrames;

void ReverseFrames(int32_t* p, int32_t nFrames, size_t uCh)
{
    if (uCh == 1) {
        std::reverse(p, p + nFrames);
    } else if (uCh == 2) { // a stereo frame moves as one 64-bit word
        for (int32_t *pA = p, *pB = p + size_t(nFrames - 1) * 2; pA < pB; pA += 2, pB -= 2) {
            uint64_t uA, uB;
            std::memcpy(&uA, pA, 8);
            std::memcpy(&uB, pB, 8);
            std::memcpy(pA, &uB, 8);
            std::memcpy(pB, &uA, 8);
        }
    } else {
        int32_t* pA = p;
        int32_t* pB = p + size_t(nFrames - 1) * uCh;
        for (; pA < pB; pA += uCh, pB -= uCh)
            std::swap_ranges(pA, pA + uCh, pB);
    }
}
} // namespace

int ReverseBody(
    LProgressDialog& dlg, LSoundSourceBase& src, LSoundSinkBase& sink, int32_t iStart, int32_t iEnd)
{
    dlg.SetText("Reversing Sound", 0);
    dlg.SetText("Please wait...", 1);
    const size_t uCh = size_t(src.GetChannels());
    const int32_t iTotal = std::max(iEnd - iStart, 1);
    std::vector<int32_t> span(uCh * size_t(std::min(kSpanFrames, iTotal)));
    for (int32_t iPos = iEnd; iPos > iStart;) {
        const int32_t nSpan = std::min(kSpanFrames, iPos - iStart);
        iPos -= nSpan;
        src.Seek(iPos);
        src.Read(span.data(), nSpan);
        ReverseFrames(span.data(), nSpan, uCh);
        for (int32_t iDone = 0; iDone < nSpan; iDone += kBlockFrames) {
            dlg.SetProgress(
                std::min(1.0, double(iEnd - iPos - nSpan + iDone + kBlockFrames) / iTotal));
            sink.Write(span.data() + size_t(iDone) * uCh, std::min(kBlockFrames, nSpan - iDone));
        }
    }
    return 0;
}

int ProcessBody(LProgressDialog& dlg, EfReverse& data)
{
    if (!data.pDoc)
        return 2;
    if (data.iEnd <= data.iStart)
        return 0;
    return EfRenderRange(dlg, *data.pDoc, data.iStart, data.iEnd, [&](LSoundSinkBase& sink) {
        LSRCCutListAudio src(*data.pDoc);
        return ReverseBody(dlg, src, sink, data.iStart, data.iEnd);
    });
}
