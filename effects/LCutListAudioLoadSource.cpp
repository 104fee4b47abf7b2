#include "effects/LCutListAudioLoadSource.h"
#include "edit/LSNKCutListAudio.h"
#include "effects/LPRSourceToSink.h"

int ProcessBody(LProgressDialog& dlg, LCutListAudioLoadSource& data)
{
    if (!data.pTarget || !data.hSource)
        return 2;
    LCutListAudio result;
    LPRSourceToSink pump;
    pump.strTitle = data.strTitle;
    pump.hSource = std::move(data.hSource);
    pump.hSink = MakeHandle<LSNKCutListAudio>(result, pump.hSource->GetSampleRate(),
                                             pump.hSource->GetChannels());
    int iResult = ProcessBody(dlg, pump);
    // The pump released the sink, so result now holds the new cut.
    if (iResult == 0)
        *data.pTarget = std::move(result);
    return iResult;
}
