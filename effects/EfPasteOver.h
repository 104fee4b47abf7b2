#pragma once

#include "edit/LCutListAudio.h"
#include "process/LProgressDialog.h"

// Paste over a selection: the clip takes the place of [iStart, iEnd). A
// clip of another rate or channel count is converted first (a copy; the
// clip itself is unchanged) and pasted only when that completed.
struct EfPasteOver {
    LCutListAudio* pDoc = nullptr;
    int32_t iEnd = 0;
    int32_t iStart = 0;
    const LCutListAudio* pClip = nullptr;
};

// 0 done, 1 conversion cancelled, 2 no document or clip, or the conversion
// failed; the document changes only on 0.
int ProcessBody(LProgressDialog& dlg, EfPasteOver& data);
