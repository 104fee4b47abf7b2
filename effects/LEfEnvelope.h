#pragma once

#include "edit/LCutListAudio.h"
#include "effects/PointList.h"
#include "process/LProgressDialog.h"

// Envelope: renders [iStart, iEnd) of the document with a gain that follows
// the point list (x along the range in 1/255 steps, y the gain in 1/128
// steps) in straight lines, and puts the result in place of the range.
// Points that go back in x are passed over; after the last point its gain
// holds. The list is the caller's.
struct LEfEnvelope {
    LCutListAudio* pDoc = nullptr;
    int32_t iEnd = 0;
    int32_t iStart = 0;
    const PointList* pPointList = nullptr;
};

// 0 done (an empty range changes nothing), 1 cancelled, 2 fewer than two
// points or no document; the document changes only on 0.
int ProcessBody(LProgressDialog& dlg, LEfEnvelope& data);
