#include "effects/LEfSoundProcess.h"

#include "audio/LSRCNull.h"
#include "edit/LAudioCutTank.h"
#include "edit/LSNKCutListAudio.h"
#include "edit/LSRCCutListAudio.h"
#include "platform/LFile.h"

#include <algorithm>
#include <vector>

int EfWriteFailed(LProgressDialog& dlg, const LSoundSinkBase& sink)
{
    return EfWriteFailed(dlg, sink.GetErrno());
}

int EfWriteFailed(LProgressDialog& dlg, int iErrno)
{
    std::string strText
        = "Cannot write the audio working folder \"" + LAudioCutTank::Get().GetFolder() + "\"";
    if (iErrno != 0)
        strText += ": " + LFile::DescribeError(iErrno);
    dlg.ShowError(strText + ".");
    return 2;
}

int ProcessBody(LProgressDialog& dlg, LEfSoundProcess& data)
{
    if (data.iEnd < data.iStart)
        return 0;
    if (!data.hSource)
        return 2;
    dlg.SetText("Please wait...", 1);
    int32_t iStart = std::max(data.iStart, 0);
    if (iStart > 0)
        data.hSource->Seek(iStart);
    int64_t iTotal = std::max<int64_t>(1, int64_t(data.iEnd) - iStart);
    std::vector<int32_t> block(size_t(data.hSource->GetChannels()) * kBlockFrames);
    int64_t iDone = 0;
    for (;;) {
        if (dlg.CheckCancel())
            return 1;
        int32_t n = int32_t(std::min<int64_t>(kBlockFrames, iTotal - iDone));
        if (n <= 0)
            return data.hSink && !data.hSink->Close() ? EfWriteFailed(dlg, *data.hSink) : 0;
        data.hSource->Read(block.data(), n);
        if (data.hSink) {
            data.hSink->Write(block.data(), n);
            if (data.hSink->IsError())
                return EfWriteFailed(dlg, *data.hSink);
        }
        iDone += n;
        dlg.SetProgress(double(iDone) / double(iTotal));
    }
}

int EfRunRangeEffect(LProgressDialog& dlg, LCutListAudio& doc, int32_t iStart, int32_t iEnd,
    const std::string& strName, const LEffectWrap& fnWrap)
{
    if (iEnd < iStart)
        return 0;
    dlg.SetText(strName, 0);
    LCutListAudio temp;
    int iResult;
    {
        LEfSoundProcess data;
        data.hSource = MakeHandle<LSRCCutListAudio>(doc);
        if (fnWrap)
            data.hSource = fnWrap(data.hSource);
        if (!data.hSource)
            data.hSource = MakeHandle<LSRCNull>();
        data.hSink = MakeHandle<LSNKCutListAudio>(temp, doc.GetSampleRate(), doc.GetChannels());
        data.iEnd = iEnd;
        data.iStart = iStart;
        iResult = ProcessBody(dlg, data);
    } // the sink hands its cut to temp here
    if (iResult == 0)
        doc.EfReplace(iStart, iEnd, temp);
    return iResult;
}
