#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"
#include "process/LProgressDialog.h"

// DC Offset Correction: each channel's mean over [iStart, iEnd) of the
// document is subtracted from its samples; the result replaces the range.
struct EfDCOffset {
    LCutListAudio* pDoc = nullptr;
    int32_t iEnd = 0;
    int32_t iStart = 0;
};

// 0 done (an empty range changes nothing), 1 cancelled, 2 no document; the
// document changes only on 0.
int ProcessBody(LProgressDialog& dlg, EfDCOffset& data);

// The two passes over a whole source: the channel means (truncated toward
// zero), then the source less them into the sink. 2 when either is missing
// or in error, or their rates or channel counts differ; 1 cancelled.
int DCOffsetBody(LProgressDialog& dlg, LSoundSourceBase* pSrc, LSoundSinkBase* pSink);
