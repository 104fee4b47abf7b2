#pragma once

#include "edit/LCutListAudio.h"

#include <cstdint>
#include <string>

// What one command changed, kept so that Undo can put it back: the cut list
// (sharing the cut files) and the positions before the command. An empty
// name marks an unused step.
struct LOVUndoStep {
    LCutListAudio claAudio;
    uint8_t bDirty = 0;
    int32_t sPosition = 0;
    int32_t sSelStart = 0;
    int32_t sSelEnd = 0;
    int32_t sViewStart = 0;
    int32_t sViewEnd = 0;
    std::string szName;
};
