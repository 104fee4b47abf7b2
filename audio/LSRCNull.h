#pragma once

#include "audio/LSoundSourceBase.h"

// The silent error source that every failed open returns: 11025 Hz, mono,
// error flag set, reads zeros, length 0.
class LSRCNull : public LSoundSourceBase {
public:
    LSRCNull();
    int32_t GetPosition() override { return 0; }
    int32_t GetLength() override { return 0; }

protected:
    // Never asked: a source in error reads zeros.
    int32_t ReadAudio(int32_t*, int32_t) override { return 0; }
};
