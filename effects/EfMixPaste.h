#pragma once

#include "edit/LCutListAudio.h"
#include "process/LProgressDialog.h"

// What the mix does with a clip longer than the selection.
enum {
    MIXMODE_INSERTSILENCE = 0, // silence is inserted after the selection for the rest
    MIXMODE_EXTENDSELECTION = 1, // the rest is mixed into the audio that follows
    MIXMODE_FADEMIXOUT = 2, // the range stays; its last iFadeFrames fade the clip out
};

// Paste Mix and Mix File: the clip (converted to the document's rate and
// channels when they differ) added over the document from iStart at
// iVolume percent, panned between the channels, and rendered in place of
// the mixed range. A clip shorter than the range mixes only over its own
// length.
struct EfMixPaste {
    LCutListAudio* pDoc = nullptr;
    int32_t iEnd = 0;
    int32_t iStart = 0;
    const LCutListAudio* pClip = nullptr;
    int iVolume = 100; // percent
    int iMode = MIXMODE_INSERTSILENCE;
    int32_t iFadeFrames = 250; // fade length for MIXMODE_FADEMIXOUT
    int iPan = 50; // 0 left .. 100 right
};

// 0 done, 1 cancelled, 2 no document or clip, or the clip could not be
// converted; the document changes only on 0. An empty clip changes nothing.
int ProcessBody(LProgressDialog& dlg, EfMixPaste& data);

// The clip's gains (24 fraction bits) for the left and right channels:
// both the volume at the centre, twice it on one side and 0 on the other
// at the extremes.
void MixPanGains(int iVolume, int iPan, int32_t* pLeft, int32_t* pRight);
