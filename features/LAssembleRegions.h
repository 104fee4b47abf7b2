#pragma once

#include "features/LOVRegion.h"
#include "process/LProgressDialog.h"

#include <string>
#include <vector>

// Regions one after another in a new cut list, with AutoGap milliseconds of
// silence between them when bAutoGap is set. The result has the first
// region's rate and channels; the others are converted to them first. Runs
// on the calling thread; the regions are the caller's.
struct LAssembleRegions {
    std::vector<const LOVRegion*> regions;
    bool bAutoGap = true;
    int32_t iGapMs = 300;
    LCutListAudio result {};
    std::string strError {}; // why it failed, when it did not fit
};

// 0 done, 1 cancelled, 2 failed (the result would be too long, or a
// conversion failed). The result is set only on 0.
int RunAssembly(LAssembleRegions& data, void* pOwner);
