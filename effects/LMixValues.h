#pragma once

#include "effects/LValueCheck.h"

// The mix dialog's values ("Paste Mix", "Mix File"). Volume, what to do
// with a clip longer than the selection and the fade length are kept in
// "StoredValues"; the pan is passed on but never stored.
struct LMixValues {
    int iVolume = 100;       // percent
    int iLongerSelection = 0; // MIXMODE_INSERTSILENCE, _EXTENDSELECTION or _FADEMIXOUT
    int iFadeOutTime = 250;  // frames
    int iPan = 50;           // 0 left .. 100 right

    void Load();
    // The fade length is stored only while "Fade out mix" is chosen.
    void Store() const;
    LValueCheck Validate() const;
    // The dialog's starting state: the pan at its centre (it can move only
    // for a stereo document), and without a selection the clip can only
    // increase the selection.
    void PrepareDialog(bool bSelection);
};
