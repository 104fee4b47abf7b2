#include "effects/LPRSourceToSink.h"

#include "effects/LCLAConvertRateChannels.h"
#include "effects/LSRCPeakLimit.h"
#include "platform/LTrace.h"

#include <vector>

SourceHandle MatchSourceToSink(SourceHandle hSource, const LSoundSinkBase& sink)
{
    hSource = ConvertRateChannels(std::move(hSource), sink.GetSampleRate(), sink.GetChannels());
    if (hSource->GetChannels() != sink.GetChannels()) {
        LTrace("lssSource.GetChannels() != lssSink.GetChannels()");
        return SourceHandle();
    }
    if (hSource->GetSampleRate() != sink.GetSampleRate()) {
        LTrace("lssSource.GetSampleRate() != lssSink.GetSampleRate()");
        return SourceHandle();
    }
    return LSRCPeakLimit::OpenSource(std::move(hSource));
}

namespace {
int Pump(LProgressDialog& dlg, LSoundSourceBase& source, LSoundSinkBase& sink)
{
    double dTotal = source.GetLength() > 0 ? double(source.GetLength()) : 1.0;
    std::vector<int32_t> block(size_t(source.GetChannels()) * kBlockFrames);
    for (;;) {
        if (dlg.CheckCancel())
            return 1;
        source.Read(block.data(), kBlockFrames);
        int32_t iPos = source.GetPosition(), iLen = source.GetLength();
        if (iPos >= iLen) {
            int64_t n = kBlockFrames - (int64_t(iPos) - iLen);
            if (n > 0 && n <= kBlockFrames)
                sink.Write(block.data(), int32_t(n));
            // The file is complete only when its last block and header are in.
            return sink.Close() ? 0 : 2;
        }
        sink.Write(block.data(), kBlockFrames);
        if (sink.IsError()) {
            LTrace("LPRSourceToSink::Process Sink Error while writing");
            return 2;
        }
        dlg.SetProgress(iPos / dTotal);
    }
}
} // namespace

int ProcessBody(LProgressDialog& dlg, LPRSourceToSink& data)
{
    dlg.SetText(data.strTitle, 0);
    dlg.SetText("Please wait...", 1);
    dlg.SetProgress(0);
    int iResult = 2;
    if (!data.hSource || data.hSource->IsError()) {
        LTrace("LPRSourceToSink::Process Source Error");
    } else if (!data.hSink || data.hSink->IsError()) {
        LTrace("LPRSourceToSink::Process Sink Error");
    } else if (SourceHandle hMatched = MatchSourceToSink(data.hSource, *data.hSink)) {
        iResult = Pump(dlg, *hMatched, *data.hSink);
    }
    data.hSource.Reset();
    data.hSink.Reset();
    return iResult;
}
