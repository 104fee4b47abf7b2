#pragma once

#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"
#include "process/LProgressDialog.h"

// Converts a whole cut list to another rate and channel count, in place.
// Only a completed conversion changes the list.
struct LCLAConvertRateChannels {
    LCutListAudio* pList = nullptr;
    int32_t iRate = 44100;
    int iChannels = 1;
};

int ProcessBody(LProgressDialog& dlg, LCLAConvertRateChannels& data);

// The source wrapped to the target rate and channels, converting as few
// samples as possible: the rate first when the channel count grows, the
// channels first otherwise. The result's rate or channels differ from the
// target when no converter covers the pair.
SourceHandle ConvertRateChannels(SourceHandle hSource, int32_t iRate, int iChannels);
