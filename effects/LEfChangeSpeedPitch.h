#pragma once

#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"
#include "process/LProgressDialog.h"

// Changes the speed and/or pitch of a document's selection by a percentage:
// mode 0 speed and pitch together (resampling), mode 1 speed at constant
// pitch (time stretch), mode 2 pitch at constant speed (time stretch, then
// resampling). The selection is replaced by the result, whose length
// differs; iNewEnd receives the new selection end. A cancelled or failed run
// leaves the document as it was.
struct LEfChangeSpeedPitch {
    LCutListAudio* pDoc = nullptr;
    int32_t iEnd = 0;
    int32_t iStart = 0;
    int iPercent = 100;
    int iMode = 0;
    int32_t iNewEnd = 0; // out: start + the result's length
};

// 0 completed (also for a reversed range, which changes nothing), 1
// cancelled, 2 no document, an unknown mode or a failed pump.
int ProcessBody(LProgressDialog& dlg, LEfChangeSpeedPitch& data);

// The mode's chain over a source read from frame 0; it ends (position
// reaching length) where the converted audio ends.
SourceHandle OpenSpeedPitchSource(SourceHandle hSource, int iPercent, int iMode);
