#include "audio/LVoxCodec.h"

#include <algorithm>

namespace {
constexpr int32_t kSteps[49] = { 16, 17, 19, 21, 23, 25, 28, 31, 34, 37, 41, 45, 50, 55, 60, 66, 73,
    80, 88, 97, 107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307, 337, 371, 408, 449, 494,
    544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552 };
constexpr int32_t kDelta[16]
    = { 16, 48, 80, 112, 144, 176, 208, 240, -16, -48, -80, -112, -144, -176, -208, -240 };
// Codes stand for the standard's 12-bit differences (step x (2m+1) / 8)
// at the internal scale, so files play at the level other programs give them.
constexpr int32_t kScale = 2;
constexpr int kAdjust[8] = { -1, -1, -1, -1, 2, 4, 6, 8 };
} // namespace

int32_t LVoxCodec::Decode(uint32_t uCode)
{
    uCode &= 15;
    iStepIndex = std::clamp(iStepIndex, 0, 48);
    iPredictor = iPredictor - (iPredictor >> 6) + kScale * kSteps[iStepIndex] * kDelta[uCode];
    iStepIndex += kAdjust[uCode & 7];
    return iPredictor;
}

uint32_t LVoxCodec::Encode(int32_t x)
{
    iStepIndex = std::clamp(iStepIndex, 0, 48);
    int32_t iStep = kScale * kSteps[iStepIndex];
    iPredictor -= iPredictor >> 6;
    int64_t q = (int64_t(x) - iPredictor) / iStep;
    uint32_t uCode = 0;
    if (q < 0) {
        uCode = 8;
        q = -q;
    }
    if (q >= 132) {
        uCode |= 4;
        q -= 132;
    }
    if (q >= 66) {
        uCode |= 2;
        q -= 66;
    }
    if (q >= 33)
        uCode |= 1;
    iPredictor += iStep * kDelta[uCode];
    iStepIndex += kAdjust[uCode & 7];
    return uCode;
}
