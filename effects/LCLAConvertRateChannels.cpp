#include "effects/LCLAConvertRateChannels.h"

#include "edit/LSRCCutListAudio.h"
#include "effects/LCutListAudioLoadSource.h"
#include "effects/LSPConvChannels.h"
#include "effects/LSRCConvertRate.h"

SourceHandle ConvertRateChannels(SourceHandle h, int32_t iRate, int iChannels)
{
    if (h->GetSampleRate() != iRate && h->GetChannels() < iChannels)
        h = LSRCConvertRate::OpenSource(h, iRate);
    if (h->GetChannels() != iChannels)
        h = LSPConvChannels::OpenSource(h, iChannels);
    if (h->GetSampleRate() != iRate)
        h = LSRCConvertRate::OpenSource(h, iRate);
    return h;
}

int ProcessBody(LProgressDialog& dlg, LCLAConvertRateChannels& data)
{
    LCutListAudio& list = *data.pList;
    if (list.GetSampleRate() == data.iRate && list.GetChannels() == data.iChannels)
        return 0;
    SourceHandle h
        = ConvertRateChannels(MakeHandle<LSRCCutListAudio>(list), data.iRate, data.iChannels);
    if (h->GetSampleRate() != data.iRate || h->GetChannels() != data.iChannels)
        return 2;
    LCutListAudioLoadSource load { "Converting rate or channels...", &list, h };
    return ProcessBody(dlg, load);
}
