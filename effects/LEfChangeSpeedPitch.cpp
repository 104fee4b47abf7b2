#include "effects/LEfChangeSpeedPitch.h"

#include "edit/LSNKCutListAudio.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LPRSourceToSink.h"
#include "effects/LSRCFixedLength.h"
#include "effects/LSRCSimpleSpeed.h"
#include "effects/LSRCWaveScan.h"
#include "platform/LTrace.h"

#include <algorithm>

namespace {
// The stretch with its output length: each segment of S frames consumes one
// hop of input, so the input lasts length x S / hop frames of output. (The
// stretch itself reports input frames, by which the pump would end up to a
// block early or late.)
SourceHandle Stretch(SourceHandle hSource, double dFactor)
{
    int32_t iInput = hSource->GetLength();
    auto hScan = MakeHandle<LSRCWaveScan>(std::move(hSource), dFactor);
    int64_t iSegFrames = hScan->GetSegmentSamples() / hScan->GetChannels();
    int64_t iHopFrames = std::max(hScan->GetHopFrames(), 1);
    int64_t iOut = int64_t(iInput) * iSegFrames / iHopFrames;
    return MakeHandle<LSRCFixedLength>(
        SourceHandle(hScan), int32_t(std::min<int64_t>(iOut, INT32_MAX)));
}
} // namespace

SourceHandle OpenSpeedPitchSource(SourceHandle hSource, int iPercent, int iMode)
{
    double f = std::max(iPercent * 0.01, 0.1);
    switch (iMode) {
    case 0:
        return LSRCSimpleSpeed::OpenSource(std::move(hSource), f);
    case 1:
        return Stretch(std::move(hSource), f);
    case 2:
        return LSRCSimpleSpeed::OpenSource(Stretch(std::move(hSource), double(1.0f / float(f))), f);
    default:
        return SourceHandle();
    }
}

int ProcessBody(LProgressDialog& dlg, LEfChangeSpeedPitch& data)
{
    dlg.SetText("Speed and Pitch Change", 0);
    dlg.SetText("Please wait...", 1);
    data.iNewEnd = data.iEnd;
    if (data.iEnd < data.iStart) {
        LTrace("Process(LEfChangeSpeedPitch) Data.stEnd < Data.stStart");
        return 0;
    }
    if (!data.pDoc)
        return 2;
    LCutListAudio& doc = *data.pDoc;
    LCutListAudio copy(doc.GetSampleRate(), doc.GetChannels());
    doc.EfCopy(data.iStart, data.iEnd, copy);
    SourceHandle hChain
        = OpenSpeedPitchSource(MakeHandle<LSRCCutListAudio>(copy), data.iPercent, data.iMode);
    if (!hChain) {
        LTrace("Process(LEfChangeSpeedPitch) unknown mode %d", data.iMode);
        return 2;
    }
    LCutListAudio result;
    int iResult;
    {
        LPRSourceToSink pump { "Process Audio", std::move(hChain),
            MakeHandle<LSNKCutListAudio>(result, doc.GetSampleRate(), doc.GetChannels()) };
        iResult = ProcessBody(dlg, pump);
    } // the body released the sink: result holds its cut
    if (iResult != 0)
        return iResult;
    doc.EfReplace(data.iStart, data.iEnd, result);
    data.iNewEnd = data.iStart + result.GetTotalLength();
    return 0;
}
