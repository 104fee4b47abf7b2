#include "effects/EfPasteOver.h"

#include "effects/LCLAConvertRateChannels.h"

int ProcessBody(LProgressDialog& dlg, EfPasteOver& data)
{
    if (!data.pDoc || !data.pClip)
        return 2;
    LCutListAudio& doc = *data.pDoc;
    if (data.pClip->GetSampleRate() == doc.GetSampleRate()
        && data.pClip->GetChannels() == doc.GetChannels()) {
        doc.EfReplace(data.iStart, data.iEnd, *data.pClip);
        return 0;
    }
    LCutListAudio copy = *data.pClip;
    LCLAConvertRateChannels conv { &copy, doc.GetSampleRate(), doc.GetChannels() };
    int iResult = ProcessBody(dlg, conv);
    if (iResult == 0)
        doc.EfReplace(data.iStart, data.iEnd, copy);
    return iResult;
}
