#pragma once

#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"
#include "effects/LDialogValues.h"
#include "effects/LSourceFactory.h"
#include "effects/LValueCheck.h"
#include "effects/LValueField.h"
#include "process/LProgressDialog.h"

#include <string>
#include <vector>

struct LEffect;

// One run of an effect over [iStart, iEnd) of a cut list with its values.
// The cut list is the caller's; it changes only when the run completes.
struct LEffectRun {
    const LEffect* pEffect = nullptr;
    LCutListAudio* pDoc = nullptr;
    int32_t iStart = 0;
    int32_t iEnd = 0;
    LDialogValues values;
    int32_t iNewEnd = 0; // out: where the changed range ends now
    std::string strNote {}; // out: a remark for the person about a run that completed
};

// The effect's work on the user-interface thread: 0 done, 1 cancelled, 2
// failed or nothing to run it on.
int ProcessBody(LProgressDialog& dlg, LEffectRun& run);

// One effect: its name, its dialog and values, and what runs it. The main
// window's commands, scripts and the command line all run an effect through
// its row, so they share its checks and its code.
struct LEffect {
    const char* szName; // as commands, scripts and "orvenna-cli effects" name it
    const char* szDialog; // the dialog's title; null without a dialog
    LValueForm form;
    // Applies the effect to the run's range (iNewEnd preset to iEnd); null
    // for an effect that only renders its factory's source over the range.
    int (*fnApply)(LProgressDialog& dlg, LEffectRun& run) = nullptr;
    // The factory of the effect's processing source with these values, for
    // rendering, Preview and scripts; null for an effect that rearranges
    // the cut list instead.
    FactoryHandle (*fnFactory)(const LDialogValues& values) = nullptr;
    // Playback after the effect starts a second before the range (edits of
    // the cut list) instead of half a second (rendered effects).
    bool bLongPreRoll = false;
    int iBatchId = -1; // its command id in batch scripts, -1 when it has none
    // The progress line of an effect rendered through its factory.
    const char* szRunText = nullptr;
    // The file in the "Current" folder keeping the curve its dialog edits;
    // null for an effect without a curve.
    const char* szCurveFile = nullptr;
    LDialogValues::CurveAxis eCurve = LDialogValues::kNoCurve;
};

// The range [iStart, iEnd) of the document, from its frame 0, through the
// effect with the values held within their ranges; the source a dialog's
// Preview plays. Null for an effect without a factory.
SourceHandle OpenEffectPreview(const LEffect& effect, const LCutListAudio& doc, int32_t iStart,
    int32_t iEnd, LDialogValues values);

// The stored curve of an effect with one: its file, or the flat curve when
// the file is missing or empty.
PointList LoadCurve(const LEffect& effect);

const std::vector<LEffect>& GetEffects();
// Names compared without regard to case; null when unknown.
const LEffect* FindEffect(const std::string& strName);
