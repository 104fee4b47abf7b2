#pragma once

#include "effects/LValueCheck.h"

// The Amplify dialog's value, kept in "StoredValues" between runs.
struct LAmplifyValues {
    int iGain = 100; // percent

    void Load();
    void Store() const;
    LValueCheck Validate() const;
};
