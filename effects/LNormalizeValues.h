#pragma once

#include "effects/LValueCheck.h"

// The Normalize dialog's value, kept in "StoredValues" between runs.
struct LNormalizeValues {
    int iPeakLevel = 100; // percent of full scale

    void Load();
    void Store() const;
    LValueCheck Validate() const;
};
