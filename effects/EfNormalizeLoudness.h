#pragma once

#include "edit/LCutListAudio.h"
#include "effects/LLoudnessMeter.h"
#include "process/LProgressDialog.h"

#include <string>

// Normalize Loudness: measures [iStart, iEnd) of the document and re-weights
// the range's cuts by the gain that takes its integrated loudness to
// iTarget LUFS, never past a true peak of -1 dBTP: when that limit wins the
// target is not reached and strNote says so. Nothing is rendered. A range
// without an integrated loudness (silence, under 0.4 s) is left alone, with
// a note.
struct EfNormalizeLoudness {
    LCutListAudio* pDoc = nullptr;
    int32_t iEnd = 0;
    int32_t iStart = 0;
    int iTarget = -16; // LUFS
    // out
    LLoudness before {}; // the range as measured
    double dGain = 0; // dB applied
    std::string strNote {}; // for the person when the target was not reached
};

// 0 done, 1 cancelled (document untouched), 2 no document.
int ProcessBody(LProgressDialog& dlg, EfNormalizeLoudness& data);

// The gain in dB from a measured loudness to dTarget LUFS, held to a true
// peak of -1 dBTP and to what a cut's gain can hold; bLimited when either
// limit held it below the target.
double NormalizeLoudnessGain(const LLoudness& measured, double dTarget, bool& bLimited);
