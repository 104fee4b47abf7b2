#pragma once

#include "effects/LValueCheck.h"

// The speed dialog's percentage of each of the three speed and pitch modes,
// kept in "StoredValues" between runs.
struct LSpeedPitchValues {
    int iSpSpeedPitch = 100;    // mode 0, "SpSpeedPitch"
    int iConstPitchSpeed = 100; // mode 1, "ConstPitchSpeed"
    int iConstSpeedPitch = 0;   // mode 2, "ConstSpeedPitch"

    void Load();
    void Store() const;
    // The value of mode 0..2 (the nearest mode for anything else).
    int& Percent(int iMode);
    int Percent(int iMode) const;
    // The check of the mode's value: at most 300.
    LValueCheck Validate(int iMode) const;

    // Caption and edit-field label of each mode.
    static const char* ModeName(int iMode);
    static const char* FieldLabel(int iMode);
};
