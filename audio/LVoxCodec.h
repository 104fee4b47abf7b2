#pragma once

#include <cstdint>

// Dialogic (OKI) 4-bit ADPCM, one channel, in internal units. The predictor
// leaks one 64th per sample so that it cannot drift.
struct LVoxCodec {
    int32_t iPredictor = 0;
    int iStepIndex = 0;

    int32_t Decode(uint32_t uCode);
    uint32_t Encode(int32_t x);
};
