#include "effects/LEfEnvelope.h"

#include "edit/LGainMultiply.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LEfRenderRange.h"
#include "platform/LTrace.h"

#include <algorithm>
#include <vector>

namespace {
// Frames from the range start of a point at x (1/255 steps), split so the
// product cannot overflow.
int32_t PointFrame(int32_t iTotal, int x)
{
    return (iTotal / 255) * x + ((iTotal % 255) * x) / 255;
}

// y in 1/128 steps as a gain with 24 fraction bits.
int32_t PointGain(int y)
{
    return int32_t(y) << 17;
}

// Multiplies each frame by iGain, which then moves by iStep; returns the
// gain after the last frame. When the block ends its segment, the last frame
// takes the segment's target exactly (a fade ends in true silence or at
// exactly unity, whatever the truncation of the step).
int32_t ApplyRamp(int32_t* p, int32_t nFrames, size_t uCh, int32_t iGain, int32_t iStep,
    bool bEndsSegment, int32_t iTarget)
{
    const int32_t nRamp = bEndsSegment ? nFrames - 1 : nFrames;
    for (int32_t f = 0; f < nRamp; ++f, p += uCh) {
        for (size_t c = 0; c < uCh; ++c)
            p[c] = GainMultiply(p[c], iGain);
        iGain += iStep;
    }
    if (bEndsSegment && nFrames > 0) {
        for (size_t c = 0; c < uCh; ++c)
            p[c] = GainMultiply(p[c], iTarget);
        iGain = iTarget;
    }
    return iGain;
}

int RenderEnvelope(LProgressDialog& dlg, const LCutListAudio& doc, int32_t iStart, int32_t iTotal,
    const PointList& list, LSoundSinkBase& sink)
{
    const int nPoints = std::min<int>(list.nPoints, PointList::POINTLISTMAX);
    LSRCCutListAudio src(doc);
    if (iStart > 0)
        src.Seek(iStart);
    const size_t uCh = size_t(src.GetChannels());
    std::vector<int32_t> block(uCh * kBlockFrames);
    int32_t iGain = PointGain(list.aPoints[0].y);
    int iPoint = 1;
    for (int32_t iDone = 0; iDone < iTotal;) {
        while (iPoint < nPoints && PointFrame(iTotal, list.aPoints[iPoint].x) <= iDone)
            ++iPoint;
        bool bSegment = iPoint < nPoints;
        int32_t iSegEnd = bSegment ? PointFrame(iTotal, list.aPoints[iPoint].x) : iTotal;
        int32_t iTarget = bSegment ? PointGain(list.aPoints[iPoint].y) : iGain;
        if (dlg.CheckCancel())
            return 1;
        int32_t n = std::min(kBlockFrames, iSegEnd - iDone);
        // The step that lands on the target at the segment's last frame.
        int32_t iStep = (iTarget - iGain) / std::max(1, iSegEnd - iDone - 1);
        src.Read(block.data(), n);
        iGain = ApplyRamp(
            block.data(), n, uCh, iGain, iStep, bSegment && iDone + n == iSegEnd, iTarget);
        sink.Write(block.data(), n);
        iDone += n;
        dlg.SetProgress(double(iDone) / double(iTotal));
    }
    return 0;
}
} // namespace

int ProcessBody(LProgressDialog& dlg, LEfEnvelope& data)
{
    if (!data.pDoc)
        return 2;
    if (data.iEnd < data.iStart)
        return 0;
    if (!data.pPointList || data.pPointList->nPoints < 2) {
        LTrace("Process(LEfEnvelope) Data.pPointList->nPoints");
        return 2;
    }
    // An empty range renders nothing rather than one frame put in its place.
    if (data.iEnd == data.iStart)
        return 0;
    dlg.SetText("Envelope", 0);
    dlg.SetText("Please wait...", 1);
    const int32_t iTotal = data.iEnd - data.iStart;
    return EfRenderRange(dlg, *data.pDoc, data.iStart, data.iEnd, [&](LSoundSinkBase& sink) {
        return RenderEnvelope(dlg, *data.pDoc, data.iStart, iTotal, *data.pPointList, sink);
    });
}
