#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"
#include "process/LProgressDialog.h"

// Reverse: [iStart, iEnd) of the document played backwards, frame by frame
// (the channels of each frame stay in place), put in place of the range.
struct EfReverse {
    LCutListAudio* pDoc = nullptr;
    int32_t iEnd = 0;
    int32_t iStart = 0;
};

// 0 done (an empty range changes nothing), 2 no document. The pass has no
// cancellation point.
int ProcessBody(LProgressDialog& dlg, EfReverse& data);

// Writes frames iStart..iEnd - 1 of the source to the sink in reverse order,
// reading 8192-frame blocks from the end backwards.
int ReverseBody(LProgressDialog& dlg, LSoundSourceBase& src, LSoundSinkBase& sink, int32_t iStart,
    int32_t iEnd);
