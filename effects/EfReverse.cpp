#include "effects/EfReverse.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LEfRenderRange.h"

#include <algorithm>
#include <vector>

namespace {
void ReverseFrames(int32_t* p, int32_t nFrames, size_t uCh)
{
    if (uCh == 1) {
        std::reverse(p, p + nFrames);
        return;
    }
    int32_t* pA = p;
    int32_t* pB = p + size_t(nFrames - 1) * uCh;
    for (; pA < pB; pA += uCh, pB -= uCh)
        std::swap_ranges(pA, pA + uCh, pB);
}
} // namespace

int ReverseBody(LProgressDialog& dlg, LSoundSourceBase& src, LSoundSinkBase& sink, int32_t iStart,
                int32_t iEnd)
{
    dlg.SetText("Reversing Sound", 0);
    dlg.SetText("Please wait...", 1);
    const size_t uCh = size_t(src.GetChannels());
    int32_t iRemaining = iEnd - iStart;
    const double dStep = double(kBlockFrames) / double(std::max(iRemaining, 1));
    double dProgress = 0;
    std::vector<int32_t> block(uCh * kBlockFrames);
    int32_t iPos = iEnd;
    while (iRemaining > 0) {
        dProgress += dStep;
        dlg.SetProgress(dProgress);
        int32_t n = std::min(kBlockFrames, iRemaining);
        iPos -= n;
        src.Seek(iPos);
        src.Read(block.data(), n);
        ReverseFrames(block.data(), n, uCh);
        sink.Write(block.data(), n);
        iRemaining -= n;
    }
    return 0;
}

int ProcessBody(LProgressDialog& dlg, EfReverse& data)
{
    if (!data.pDoc)
        return 2;
    if (data.iEnd <= data.iStart)
        return 0;
    return EfRenderRange(*data.pDoc, data.iStart, data.iEnd, [&](LSoundSinkBase& sink) {
        LSRCCutListAudio src(*data.pDoc);
        return ReverseBody(dlg, src, sink, data.iStart, data.iEnd);
    });
}
