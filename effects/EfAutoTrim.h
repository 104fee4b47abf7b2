#pragma once

#include "edit/LCutListAudio.h"
#include "process/LProgressDialog.h"

// Auto Trim: finds where the document first and last rises above
// iThresholdDb relative to its peak, from the cuts' graph files alone (no
// audio is read), and deletes what lies before and after, in whole blocks
// of 256 frames.
struct EfAutoTrim {
    LCutListAudio* pDoc = nullptr;
    int iThresholdDb = -20;

    // "AutoTrimThreshold" of "Settings", decibels, default -20.
    static int LoadThreshold();
};

// 0 done, 2 no document. There is no cancellation point.
int ProcessBody(LProgressDialog& dlg, EfAutoTrim& data);

// The frames to keep, [*pStart, *pEnd), without changing the document.
void AutoTrimRange(const LCutListAudio& doc, int iThresholdDb, int32_t* pStart, int32_t* pEnd);
