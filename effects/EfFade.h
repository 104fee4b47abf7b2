#pragma once

#include "edit/LCutListAudio.h"
#include "effects/PointList.h"
#include "process/LProgressDialog.h"

// Fade In, Fade Out and Fade Out and Trim: the envelope over [iStart, iEnd)
// with a straight line from silence to unity or back. Fade Out and Trim
// then deletes everything after the range.
struct EfFade {
    enum Kind { FadeIn, FadeOut, FadeOutAndTrim };

    LCutListAudio* pDoc = nullptr;
    int32_t iEnd = 0;
    int32_t iStart = 0;
    Kind eKind = FadeIn;

    // The two-point curve of the kind.
    static PointList Curve(Kind eKind);
};

// As the envelope: 0 done, 1 cancelled, 2 no document; the document changes
// only on 0, and an empty range changes nothing.
int ProcessBody(LProgressDialog& dlg, EfFade& data);
