#pragma once

#include "edit/LCutListAudio.h"
#include "process/LProgressDialog.h"

// Normalize: measures the peak of [iStart, iEnd) of the document and
// re-weights the range's cuts so that the peak becomes iLevel percent of
// full scale (at most 400 % gain). Nothing is rendered. Silence and an empty
// range change nothing.
struct EfNormalize {
    LCutListAudio* pDoc = nullptr;
    int32_t iEnd = 0;
    int32_t iStart = 0;
    int iLevel = 100; // percent of full scale
};

// 0 done, 1 cancelled (document untouched), 2 no document.
int ProcessBody(LProgressDialog& dlg, EfNormalize& data);

// The gain in percent that takes uPeak to iLevel percent of full scale.
int NormalizeGainPercent(int iLevel, uint32_t uPeak);
