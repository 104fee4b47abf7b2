#include "effects/LCutListAudioLoadSource.h"

#include "edit/LSNKCutListAudio.h"
#include "effects/LPRSourceToSink.h"

#include <cerrno>

int ProcessBody(LProgressDialog& dlg, LCutListAudioLoadSource& data)
{
    if (!data.pTarget || !data.hSource)
        return 2;
    LCutListAudio result;
    LPRSourceToSink pump;
    pump.strTitle = data.strTitle;
    pump.hSource = std::move(data.hSource);
    SinkHandle hSink = MakeHandle<LSNKCutListAudio>(
        result, pump.hSource->GetSampleRate(), pump.hSource->GetChannels());
    pump.hSink = hSink;
    int iResult = ProcessBody(dlg, pump);
    if (hSink->IsError())
        data.iWriteErrno = hSink->GetErrno() ? hSink->GetErrno() : EIO;
    hSink.Reset();
    // The sink is gone, so result now holds the new cut; dropped on failure
    // with its files.
    if (iResult == 0)
        *data.pTarget = std::move(result);
    return iResult;
}
